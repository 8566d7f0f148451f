#include "physics/soil_texture.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace vantrel {
namespace {

std::string name_of(float sand, float silt, float clay) {
  return std::string(texture_name(classify_texture(sand, silt, clay)));
}

struct Case {
  float sand, silt, clay;
  const char* name;
};

void expect_all(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(name_of(c.sand, c.silt, c.clay), c.name)
        << "sand " << c.sand << ", silt " << c.silt << ", clay " << c.clay;
  }
}

TEST(SoilTexture, EachClassAtAPlainComposition) {
  expect_all({{20, 20, 60, "clay"},
              {5, 50, 45, "silty clay"},
              {50, 5, 45, "sandy clay"},
              {10, 58, 32, "silty clay loam"},
              {32, 36, 32, "clay loam"},
              {60, 15, 25, "sandy clay loam"},
              {40, 40, 20, "loam"},
              {5, 85, 10, "silt"},
              {20, 70, 10, "silt loam"},
              {65, 25, 10, "sandy loam"},
              {82, 12, 6, "loamy sand"},
              {95, 3, 2, "sand"}});
}

TEST(SoilTexture, OrderOfTheTestsDecidesOverlaps) {
  expect_all({
      {20, 40, 40, "clay"},  // step 1 before step 2
      {45, 15, 40, "clay"},  // step 1 before step 3: sand exactly 45
      {46, 14, 40, "sandy clay"},
      {15, 45, 40, "silty clay"},
      {20, 52, 28, "clay loam"},  // step 4 before 5 and 6
      {19.9F, 52.1F, 28, "silty clay loam"},
      {45, 27, 28, "clay loam"},  // sandy clay loam's conditions also hold
      {45, 20.01F, 34.99F, "clay loam"},
      {50, 45, 5, "sandy loam"},  // fails loam on clay < 8: the catch-all
  });
}

TEST(SoilTexture, InclusiveAndExclusiveBounds) {
  expect_all({
      // step 1: silt <= 40, clay >= 40, sand <= 45
      {20, 40.01F, 39.99F, "clay loam"},
      {45.01F, 14.99F, 40, "sandy clay"},
      {30, 30, 39.99F, "clay loam"},
      // step 3: clay >= 35 and sand >= 45
      {45.01F, 19.99F, 35, "sandy clay"},
      {45.01F, 20, 34.99F, "sandy clay loam"},
      // step 4: clay 28..40 with sand <= 45; silty below sand 20
      {45, 27, 28, "clay loam"},
      {45, 27.01F, 27.99F, "sandy clay loam"},  // below clay 28
      {19.99F, 50.01F, 30, "silty clay loam"},
      // step 5: silt <= 28, clay 20..35
      {52, 28, 20, "sandy clay loam"},
      {51.99F, 28.01F, 20, "loam"},
      {60.01F, 20, 19.99F, "sandy loam"},
      // step 6: sand 22..55, clay >= 8, silt 28..50
      {22, 50, 28, "clay loam"},
      {22, 50, 27.99F, "loam"},
      {22, 45, 20, "loam"},  // off the triangle: the only way to reach sand 22 there
      {21.99F, 45, 20, "sandy loam"},
      {55, 37, 8, "loam"},
      {55.01F, 36.99F, 8, "sandy loam"},
      {50, 42.01F, 7.99F, "sandy loam"},
      // step 7: clay <= 28 and silt >= 50; silt needs clay <= 12 and silt >= 80
      {30, 50, 20, "loam"},
      {30, 50.01F, 19.99F, "silt loam"},
      {8, 80, 12, "silt"},
      {7.99F, 80, 12.01F, "silt loam"},
      {10.01F, 79.99F, 10, "silt loam"},
  });
}

TEST(SoilTexture, LoamySandLines) {
  expect_all({
      {70, 30, 0, "sandy loam"},   // clay 0 is not below 70 - 70
      {80, 10, 10, "sandy loam"},  // on the first line: sandy loam
      {80, 11, 9, "loamy sand"},
      {84.99F, 1, 14, "loamy sand"},
      {85, 15, 0, "loamy sand"},  // at 85 every clay content is loamy sand
      {85, 0, 15, "loamy sand"},
      {88, 10, 2, "sand"},       // 2 x 88 - 170 = 6 > 2
      {88, 6, 6, "loamy sand"},  // on the second line: loamy sand
      {88, 5, 7, "loamy sand"},
      {89.99F, 0, 9, "sand"},
      {90, 0, 10, "sand"},
      {100, 0, 0, "sand"},
  });
}

TEST(SoilTexture, CornersAndOutOfTriangleInputs) {
  expect_all({
      {0, 100, 0, "silt"},
      {0, 0, 100, "clay"},
      {0, 0, 0, "sandy loam"},
      {50, 50, 50, "silty clay"},
      {-10, 60, 50, "silty clay"},
      {150, -30, -20, "sand"},
      {-5, -5, -5, "sandy loam"},
      {1e30F, 0, 0, "sand"},
  });
  EXPECT_EQ(name_of(std::nanf(""), std::nanf(""), std::nanf("")), "sand");
}

TEST(SoilTexture, NameIsBlankPaddedToTheCallersWidth) {
  NumberText name("previous contents!!");
  SOIL_TEXTURE(100.0F, 0.0F, 0.0F, name);
  EXPECT_EQ(name.view(), "sand" + std::string(16, ' '));
  Text<15> exact;
  SOIL_TEXTURE(10.0F, 58.0F, 32.0F, exact);
  EXPECT_EQ(exact.view(), "silty clay loam");
}

TEST(SoilTexture, TwelveDistinctNamesOfAtMostFifteenCharacters) {
  std::set<std::string_view> names;
  for (const TextureClass t : kTextureClasses) {
    names.insert(texture_name(t));
    EXPECT_LE(texture_name(t).size(), 15U);
  }
  EXPECT_EQ(names.size(), 12U);
}

}  // namespace
}  // namespace vantrel
