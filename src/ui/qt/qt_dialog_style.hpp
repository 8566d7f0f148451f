// The look the window's buttons and frames get over the application's style: drawn, not
// styled by a sheet (a sheet per button cost the start a few milliseconds and a megabyte), and
// frames without the picture some styles draw them from (reading it loads every image plugin
// during the first paint).
#pragma once

#include <QProxyStyle>

namespace vantrel::ui {

class DialogStyle final : public QProxyStyle {
 public:
  // Over a style of the application's own kind; the application's style object stays its own.
  DialogStyle();

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

}  // namespace vantrel::ui
