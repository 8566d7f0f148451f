#include "report/page_spool.hpp"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "data/path_text.hpp"

namespace vantrel::page {

namespace {

// The spool is read back by the process that wrote it: its numbers go as they are in memory.
class Out {
 public:
  explicit Out(std::FILE* f) : f_(f) {}
  bool ok = true;
  template <typename T>
  void put(T v) {
    static_assert(std::is_trivially_copyable_v<T>);
    ok = ok && std::fwrite(&v, sizeof v, 1, f_) == 1;
  }
  void put(const std::string& s) {
    put(static_cast<std::uint64_t>(s.size()));
    ok = ok && (s.empty() || std::fwrite(s.data(), 1, s.size(), f_) == s.size());
  }
  void put(Colour c) {
    put(c.r);
    put(c.g);
    put(c.b);
  }

 private:
  std::FILE* f_;
};

// More than any page holds: a count beyond it is a damaged spool, never an allocation.
constexpr std::uint64_t kMost = std::uint64_t{1} << 26;

class In {
 public:
  explicit In(std::FILE* f) : f_(f) {}
  bool ok = true;
  template <typename T>
  void get(T& v) {
    ok = ok && std::fread(&v, sizeof v, 1, f_) == 1;
  }
  void get(std::string& s) {
    std::uint64_t n = 0;
    get(n);
    ok = ok && n <= kMost;
    const auto size = static_cast<std::size_t>(ok ? n : 0);  // kMost fits any size_t
    s.assign(size, '\0');
    ok = ok && (size == 0 || std::fread(s.data(), 1, size, f_) == size);
  }
  void get(Colour& c) {
    get(c.r);
    get(c.g);
    get(c.b);
  }
  std::size_t count() {
    std::uint64_t n = 0;
    get(n);
    ok = ok && n <= kMost;
    return ok ? static_cast<std::size_t>(n) : 0;
  }

 private:
  std::FILE* f_;
};

// Each of the model's parts, written and read in the same order by one function.
template <typename Io, typename T>
void each(Io& io, T& v) {
  if constexpr (std::is_same_v<Io, Out>) {
    io.put(v);
  } else {
    io.get(v);
  }
}

template <typename Io, typename T, typename F>
void each_of(Io& io, std::vector<T>& items, F&& item) {
  if constexpr (std::is_same_v<Io, Out>) {
    io.put(static_cast<std::uint64_t>(items.size()));
  } else {
    items.resize(io.count());
  }
  for (T& t : items)
    item(t);
}

template <typename Io>
void text_block(Io& io, TextBlock& t) {
  each(io, t.role), each(io, t.x), each(io, t.top), each(io, t.width), each(io, t.size);
  each(io, t.bold), each(io, t.align), each(io, t.shaded);
  each_of(io, t.lines, [&](std::string& line) { each(io, line); });
}

template <typename Io>
void table_block(Io& io, TableBlock& t) {
  each(io, t.caption), each(io, t.top), each(io, t.size);
  each_of(io, t.columns, [&](Column& c) {
    each(io, c.head), each(io, c.unit), each(io, c.x), each(io, c.width), each(io, c.align);
  });
  each_of(io, t.rows, [&](std::vector<Cell>& row) {
    each_of(io, row, [&](Cell& cell) { each(io, cell.text), each(io, cell.bold); });
  });
}

template <typename Io>
void chart_block(Io& io, ChartBlock& c) {
  each(io, c.title), each(io, c.description), each(io, c.x), each(io, c.top);
  each(io, c.width), each(io, c.height);
  each_of(io, c.marks, [&](Mark& m) {
    each(io, m.kind), each(io, m.colour), each(io, m.width), each(io, m.dash);
    each(io, m.text), each(io, m.size), each(io, m.align);
    each_of(io, m.points, [&](Point& p) { each(io, p.x), each(io, p.y); });
  });
}

}  // namespace

PageSpool::PageSpool(const std::filesystem::path& folder) {
  if (!file_.open(folder / "vantrel-report-pages", error_)) {
    failed_ = true;
    return;
  }
  file_.release();
  stream_ = std::fopen(path_text(file_.temporary()).c_str(), "w+b");
  if (stream_ == nullptr) fail();
}

PageSpool::~PageSpool() {
  if (stream_ != nullptr) std::fclose(stream_);
  file_.discard();
}

void PageSpool::fail() {
  if (!failed_) error_ = errno != 0 ? std::strerror(errno) : "the disk did not take it";
  failed_ = true;
}

void PageSpool::add(const Page& page) {
  if (failed_) return;
  Out out(stream_);
  Page p = page;  // the parts' functions take them as they read them
  out.put(p.field);
  out.put(static_cast<std::uint64_t>(p.blocks.size()));
  for (Block& b : p.blocks) {
    out.put(static_cast<std::uint8_t>(b.index()));
    if (auto* t = std::get_if<TextBlock>(&b)) {
      text_block(out, *t);
    } else if (auto* table = std::get_if<TableBlock>(&b)) {
      table_block(out, *table);
    } else {
      chart_block(out, std::get<ChartBlock>(b));
    }
  }
  if (!out.ok) fail();
  ++pages_;
}

bool PageSpool::replay(const std::function<void(Page&)>& visit) {
  if (failed_) return false;
  if (std::fflush(stream_) != 0 || std::fseek(stream_, 0, SEEK_SET) != 0) {
    fail();
    return false;
  }
  In in(stream_);
  for (int n = 0; n < pages_ && in.ok; ++n) {
    Page p;
    in.get(p.field);
    p.blocks.resize(in.count());
    for (Block& b : p.blocks) {
      std::uint8_t kind = 0;
      in.get(kind);
      if (kind == 0) {
        text_block(in, b.emplace<TextBlock>());
      } else if (kind == 1) {
        table_block(in, b.emplace<TableBlock>());
      } else {
        chart_block(in, b.emplace<ChartBlock>());
      }
    }
    if (in.ok) visit(p);
  }
  if (!in.ok) error_ = "the kept pages did not read back";
  return in.ok;
}

}  // namespace vantrel::page
