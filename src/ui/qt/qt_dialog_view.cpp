#include "ui/qt/qt_dialog_view.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <string>

#include "ui/dialog_help.hpp"
#include "ui/qt/qt_dialog_style.hpp"
#include "ui/qt/qt_event_watchers.hpp"
#include "ui/qt/qt_pictures.hpp"
#include "ui/qt/qt_spinner_bar.hpp"

namespace vantrel::ui {

namespace {

QString qt_text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string std_text(const QString& text) {
  return text.toUtf8().toStdString();
}

// A scroll bar's range, steps and position as the dialog holds them.
void show_bar(QScrollBar* bar, const Control& c) {
  bar->setRange(std::min(c.range_min, c.range_max), c.range_max);
  bar->setSingleStep(c.line_step);
  bar->setPageStep(c.page_step);
  const int shown = std::clamp(c.position, bar->minimum(), bar->maximum());
  bar->setValue(shown);
  bar->setSliderPosition(shown);
}

// A combo box's entries and text as the dialog holds them, without a notification. The
// entries it shows already, in order, stay: a list filled one entry at a time costs one
// insertion per entry, not a new list each time.
void show_combo(QComboBox* combo, const Control& c, const QString& text) {
  const auto wanted = static_cast<int>(c.entries.size());
  int kept = 0;
  while (kept < std::min(wanted, combo->count()) &&
         combo->itemText(kept) == qt_text(c.entries[static_cast<std::size_t>(kept)])) {
    ++kept;
  }
  while (combo->count() > kept)
    combo->removeItem(combo->count() - 1);
  for (int i = kept; i < wanted; ++i)
    combo->addItem(qt_text(c.entries[static_cast<std::size_t>(i)]));
  const QSignalBlocker quiet_edit(combo->lineEdit());
  if (combo->currentText() != text) {
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    combo->setEditText(text);
  }
}

}  // namespace

QtDialogView::QtDialogView(Dialog& dialog, EarlyPictures* early) : dialog_(dialog), early_(early) {}

QtDialogView::~QtDialogView() {
  if (destroy_watcher_ != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(destroy_watcher_.get());
  }
  delete window_.data();
}

QWidget* QtDialogView::widget(int id) const {
  const auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second;
}

QWidget* QtDialogView::created(int order) const {
  return order >= 1 && order <= static_cast<int>(created_.size())
             ? created_[static_cast<std::size_t>(order - 1)]
             : nullptr;
}

bool QtDialogView::show(int show_command) {
  const DialogTemplate* t = dialog_.dialog_template();
  if (t == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    return false;
  }
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return false;

  if (style_ == nullptr) style_ = std::make_unique<DialogStyle>();
  window_ = new DialogWindow([this] { close(); }, [this] { end_presses(); });
  window_->setWindowTitle(qt_text(t->caption));
  window_->setFont(dialog_font());
  units_ = dialog_units(window_->font());

  std::vector<QWidget*> frames;
  QWidget* previous_stop = nullptr;
  for (const TemplateControl& item : t->controls) {
    QWidget* w = create(item);
    created_.push_back(w);
    place(item, w);
    if (item.kind == ControlKind::frame) frames.push_back(w);
    if (item.hidden) w->setVisible(false);
    w->setFocusPolicy(takes_focus(item) ? Qt::StrongFocus : Qt::NoFocus);
    if (takes_focus(item)) {
      if (previous_stop != nullptr) QWidget::setTabOrder(previous_stop, w);
      previous_stop = w;
    }
    describe(item, w);
    if (item.id != kNoId) {
      widgets_[item.id] = w;
      if (const Control* c = dialog_.control(item.id)) refresh(*c);
    }
  }
  connect_spinner_keys(*t);
  // Group boxes only draw a border: they stay behind the controls they frame.
  for (QWidget* frame : frames) {
    frame->lower();
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
  }

  const QSize size(units_.x(t->rect.width), units_.y(t->rect.height));
  window_->setFixedSize(size);
  QRect placed(QPoint(0, 0), size);
  placed.moveCenter(screen->availableGeometry().center());
  window_->move(placed.topLeft());
  if (show_command != show_hidden) window_->show();
  // However the window is destroyed, the dialog hears of it: "Exit", the window manager's
  // close, or another X client destroying it.
  destroy_watcher_ = std::make_unique<ForeignDestroyWatcher>(
      window_, [this] { QTimer::singleShot(0, window_, [this] { close(); }); });
  QCoreApplication::instance()->installNativeEventFilter(destroy_watcher_.get());
  return true;
}

QWidget* QtDialogView::create(const TemplateControl& item) {
  const int id = item.id;
  const QString caption = qt_text(item.caption);
  switch (item.kind) {
    case ControlKind::push_button: {
      auto* b = new QPushButton(caption, window_);
      b->setStyle(style_.get());
      b->setDefault(item.default_button);
      b->setAutoDefault(item.default_button);
      QObject::connect(b, &QPushButton::clicked, b,
                       [this, id] { notify([&] { dialog_.notify_clicked(id); }); });
      return b;
    }
    case ControlKind::edit: {
      auto* e = new QLineEdit(window_);
      e->setAlignment(Qt::AlignCenter);
      e->setReadOnly(item.read_only);
      QObject::connect(e, &QLineEdit::textEdited, e, [this, id](const QString& text) {
        notify([&] { dialog_.notify_edited(id, std_text(text)); });
      });
      return e;
    }
    case ControlKind::scroll_bar: {
      auto* bar = new SpinnerBar(window_);
      connect_scroll_bar(id, bar);
      return bar;
    }
    case ControlKind::combo_box:
      return create_combo(id);
    case ControlKind::check_box: {
      auto* box = new QCheckBox(caption, window_);
      QObject::connect(box, &QCheckBox::clicked, box,
                       [this, id] { notify([&] { dialog_.notify_clicked(id); }); });
      return box;
    }
    case ControlKind::static_text: {
      auto* label = new QLabel(caption, window_);
      label->setAlignment((item.align == Align::centre ? Qt::AlignHCenter : Qt::AlignLeft) |
                          Qt::AlignTop);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::picture: {
      auto* picture = new QLabel(window_);
      picture->setAlignment(Qt::AlignCenter);
      picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      return picture;
    }
    case ControlKind::frame: {
      auto* frame = new QGroupBox(caption, window_);
      frame->setStyle(style_.get());
      frame->setAlignment(item.align == Align::centre ? Qt::AlignHCenter : Qt::AlignLeft);
      return frame;
    }
  }
  return new QWidget(window_);
}

QWidget* QtDialogView::create_combo(int id) {
  auto* combo = new QComboBox(window_);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);  // the program matches the typed text exactly
  QObject::connect(combo, &QComboBox::activated, combo, [this, id](int index) {
    notify([&] { dialog_.notify_selected(id, index + 1); });
  });
  QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo,
                   [this, id](const QString& text) {
                     notify([&] { dialog_.notify_edited(id, std_text(text)); });
                   });
  combo->installEventFilter(new FocusWatcher(
      combo, [this, id](bool gained) { notify([&] { dialog_.notify_focus(id, gained); }); }));
  return combo;
}

void QtDialogView::place(const TemplateControl& item, QWidget* w) const {
  QRect area = qt_rect(units_.pixels(item.rect));
  if (item.kind == ControlKind::combo_box) area.setHeight(units_.y(kComboEditHeight));
  int needed = 0;
  if (auto* label = qobject_cast<QLabel*>(w); label && item.kind == ControlKind::static_text) {
    needed = label->fontMetrics().horizontalAdvance(label->text().trimmed());
  } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
    needed = box->sizeHint().width();
  }
  const Rect fitted =
      grown_to_fit({area.x(), area.y(), area.width(), area.height()}, needed, item.align);
  area = qt_rect(fitted);
  w->setGeometry(area);
  if (item.kind == ControlKind::picture) {
    auto* picture = static_cast<QLabel*>(w);
    QPixmap shown = picture_pixmap(item.bitmap, picture->devicePixelRatioF(), early_);
    // At scale 1 the label centres and clips the picture itself, without a copy of its part.
    if (shown.devicePixelRatio() > 1.0) shown = centred_part(shown, picture->contentsRect().size());
    picture->setPixmap(shown);
  } else if (item.kind == ControlKind::combo_box) {
    auto* combo = static_cast<QComboBox*>(w);
    const int row = combo->fontMetrics().height();  // a list row is one line of its font
    combo->setMaxVisibleItems(
        dropped_rows(units_.y(item.rect.height), units_.y(kComboEditHeight), row));
  }
}

void QtDialogView::connect_scroll_bar(int id, QWidget* widget) {
  auto* bar = static_cast<QScrollBar*>(widget);
  QObject::connect(bar, &QScrollBar::actionTriggered, bar, [this, id, bar](int action) {
    ScrollAction scroll = ScrollAction::thumb;
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub:
        scroll = ScrollAction::line_up;
        break;
      case QAbstractSlider::SliderSingleStepAdd:
        scroll = ScrollAction::line_down;
        break;
      case QAbstractSlider::SliderPageStepSub:
        scroll = ScrollAction::page_up;
        break;
      case QAbstractSlider::SliderPageStepAdd:
        scroll = ScrollAction::page_down;
        break;
      case QAbstractSlider::SliderToMinimum:
        scroll = ScrollAction::top;
        break;
      case QAbstractSlider::SliderToMaximum:
        scroll = ScrollAction::bottom;
        break;
      case QAbstractSlider::SliderMove:
        scroll = ScrollAction::thumb;
        break;
      default:
        return;
    }
    if (scroll == ScrollAction::thumb) {
      const int thumb = bar->sliderPosition();
      notify([&] { dialog_.notify_scroll(id, scroll, thumb); });
      sync_bar(id);
    } else {
      this->scroll(id, scroll);
    }
  });
}

void QtDialogView::sync_bar(int id) {
  if (closed_) return;  // the window went while the notification ran
  // The stored position decides, not the widget's own step: Qt applies this after us.
  auto* bar = qobject_cast<QScrollBar*>(widget(id));
  const Control* c = dialog_.control(id);
  if (bar != nullptr && c != nullptr) {
    bar->setSliderPosition(std::clamp(c->position, bar->minimum(), bar->maximum()));
  }
}

void QtDialogView::scroll(int bar, ScrollAction action) {
  const Control* c = dialog_.control(bar);
  if (c == nullptr) return;
  const int position = c->position;
  notify([&] { dialog_.notify_scroll(bar, action, position); });
  sync_bar(bar);
}

void QtDialogView::notify(const std::function<void()>& notification) {
  ++notifying_;
  notification();
  --notifying_;
  if (notifying_ == 0 && closed_) release_window();
}

void QtDialogView::release_window() {
  // Not at once: we may be inside one of its widgets' signals; the event loop deletes it.
  if (window_ != nullptr) window_->deleteLater();
}

void QtDialogView::end_presses() {
  for (const auto& [id, w] : widgets_) {
    if (auto* bar = dynamic_cast<SpinnerBar*>(w)) bar->end_press();
  }
}

void QtDialogView::connect_spinner_keys(const DialogTemplate& t) {
  for (const auto& [bar_id, edit_id] : spinner_edits(t)) {
    QWidget* box = widget(edit_id);
    if (box == nullptr) continue;
    const int bar = bar_id;
    box->installEventFilter(new KeyWatcher(box, [this, bar](int key) {
      switch (key) {
        case Qt::Key_Up:
          scroll(bar, ScrollAction::line_up);
          return true;
        case Qt::Key_Down:
          scroll(bar, ScrollAction::line_down);
          return true;
        case Qt::Key_PageUp:
          scroll(bar, ScrollAction::page_up);
          return true;
        case Qt::Key_PageDown:
          scroll(bar, ScrollAction::page_down);
          return true;
        default:
          return false;
      }
    }));
  }
}

void QtDialogView::describe(const TemplateControl& item, QWidget* w) const {
  const ControlHelp help = accessible_help(item);
  if (!help.name.empty()) w->setAccessibleName(qt_text(help.name));
  if (!help.tooltip.empty()) {
    w->setAccessibleDescription(qt_text(help.tooltip));
    w->setToolTip(qt_text(help.tooltip));
  }
}

void QtDialogView::refresh(const Control& c) {
  if (closed_ || window_ == nullptr) return;
  QWidget* w = widget(c.item->id);
  if (w == nullptr) return;
  const QSignalBlocker quiet(w);  // values the program sets never look like user actions
  const QString text = qt_text(shown_text(c));
  switch (c.item->kind) {
    case ControlKind::edit: {
      auto* e = static_cast<QLineEdit*>(w);
      if (e->text() != text) {
        e->setText(text);
        e->setCursorPosition(0);
      }
      break;
    }
    case ControlKind::scroll_bar:
      show_bar(static_cast<QScrollBar*>(w), c);
      break;
    case ControlKind::combo_box:
      show_combo(static_cast<QComboBox*>(w), c, text);
      break;
    case ControlKind::check_box: {
      auto* box = static_cast<QCheckBox*>(w);
      box->setText(text);
      box->setChecked(c.checked);
      place(*c.item, w);
      break;
    }
    case ControlKind::push_button:
      static_cast<QPushButton*>(w)->setText(text);
      break;
    case ControlKind::static_text:
      static_cast<QLabel*>(w)->setText(text);
      place(*c.item, w);
      break;
    case ControlKind::frame:
      static_cast<QGroupBox*>(w)->setTitle(text);
      break;
    case ControlKind::picture:
      break;
  }
}

void QtDialogView::close() {
  if (closed_) return;
  closed_ = true;
  if (window_ != nullptr) window_->hide();
  dialog_.notify_destroyed();
  // Inside a notification the window lives on until it ends: its widgets are still in use.
  if (notifying_ == 0) release_window();
}

std::unique_ptr<DialogView> make_qt_view(Dialog& dialog) {
  return std::make_unique<QtDialogView>(dialog);
}

ViewFactory qt_view_factory(EarlyPictures& early) {
  return [&early](Dialog& dialog) { return std::make_unique<QtDialogView>(dialog, &early); };
}

}  // namespace vantrel::ui
