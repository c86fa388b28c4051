// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screen_tab.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLayout>
#include <QPainter>
#include <QValidator>
#include <algorithm>
#include <cmath>

#include "app/session.h"
#include "ui/tab_building.h"

namespace korvani::ui {

namespace {

int ToPixels(double twips) {
  return static_cast<int>(std::lround(twips / QtDrawingSurface::kTwipsPerPixel));
}

// The data-entry box takes only texts the panel's entry accepts.
class EntryValidator final : public QValidator {
 public:
  EntryValidator(const hmi::screen::DataEntry& entry, QObject* parent) : QValidator(parent), Entry(entry) {}
  State validate(QString& input, int& /*position*/) const override {
    return Entry.EntryTextAllowed(input.toStdString()) ? Acceptable : Invalid;
  }

 private:
  const hmi::screen::DataEntry& Entry;
};

}  // namespace

ScreenTab::ScreenTab(const FaultReport& report) : SessionTab(report) {
  BuildScreenTab(Widgets, this);
  HmiSurface = std::make_unique<QtDrawingSurface>(*Widgets.picHMI1);
  LogPane = std::make_unique<PaneRefresher>(Widgets.txtHMILog, kLogPaneRefreshMs, &ToPaneText);
  FitTimer.setSingleShot(true);
  FitTimer.setInterval(30);
  connect(&FitTimer, &QTimer::timeout, this, Do([this](app::Session&) { FitScreen(); }));
}

ScreenTab::~ScreenTab() = default;

void ScreenTab::Attach(app::Session& session) {
  Attached = &session;
  AttachControls();
  AttachLogPane();
}

void ScreenTab::AttachControls() {
  const ScreenTabUi& w = Widgets;
  connect(w.cmdHMIConnect, &QPushButton::clicked, this, Do([](app::Session& p) { p.Connect(); }));
  connect(w.cmdSetRTC, &QPushButton::clicked, this, Do([](app::Session& p) { p.SetBoardClock(); }));
  connect(w.cmdHMIReset, &QPushButton::clicked, this, Do([](app::Session& p) { p.ResetScreen(); }));
  connect(w.cmdHMICLS, &QPushButton::clicked, this, Do([](app::Session& p) { p.ClearScreen(); }));
  connect(w.cmdHMIRulers, &QPushButton::clicked, this, Do([](app::Session& p) { p.DrawRulers(); }));
  connect(w.cmdSaveScreen, &QPushButton::clicked, this, Do([](app::Session& p) { p.SaveScreen(); }));
  connect(w.grpAspectRatio, &QButtonGroup::idClicked, this,
          Do([](app::Session& p, int index) { p.Controls().ChooseLayout(index); }));
  connect(w.cmdHMISetWidth, &QPushButton::clicked, this,
          Do([](app::Session& p) { p.Controls().ApplyWidthBox(); }));
  connect(w.cmdHMITestSend, &QPushButton::clicked, this, Do([this](app::Session& p) {
            p.InjectTestText(Widgets.txtHMIRawRx->text().toLatin1().toStdString());  // a byte a character
          }));
  connect(w.cmdHMIDataOK, &QPushButton::clicked, this, Do([](app::Session& p) { p.Entry().Accept(); }));
  connect(w.cmdHMIDataEntryCancel, &QPushButton::clicked, this,
          Do([](app::Session& p) { p.Entry().Cancel(); }));
  // Typed keys are filtered by the key filter; whatever gets past it (a paste, a drop) must
  // leave a text the entry accepts whole, or the box keeps what it had.
  w.txtHMIDataEntry->setValidator(new EntryValidator(Attached->Entry(), w.txtHMIDataEntry));
  connect(w.txtHMIDataEntry, &QLineEdit::inputRejected, this,
          Do([](app::Session& p) { p.Entry().RefuseEdit(); }));
  w.txtHMIDataEntry->installEventFilter(this);
  w.fraScreenArea->installEventFilter(this);  // full screen: its surround
}

void ScreenTab::AttachLogPane() {
  const ScreenTabUi& w = Widgets;
  connect(w.cmdLogFrz, &QPushButton::clicked, this,
          Do([](app::Session& p) { p.ScreenLog().ToggleFreeze(); }));
  connect(w.cmdLogMarker, &QPushButton::clicked, this,
          Do([](app::Session& p) { p.ScreenLog().AddMarker(); }));
  connect(w.cmdLogCLS, &QPushButton::clicked, this, Do([](app::Session& p) { p.ScreenLog().ClearPane(); }));
  connect(w.cmdHideLog, &QPushButton::clicked, this, Do([](app::Session& p) { p.ScreenLog().HidePane(); }));
  connect(w.cmdShowTrace, &QPushButton::clicked, this, Do([](app::Session& p) { p.ScreenLog().ShowPane(); }));
  connect(w.chkHMITraceToDisk, &QCheckBox::toggled, this,
          Do([](app::Session& p, bool ticked) { p.ScreenLog().SetTraceToDisk(ticked); }));
  connect(w.cmdClearHMILogFile, &QPushButton::clicked, this,
          Do([](app::Session& p) { p.ScreenLog().ClearTraceFile(); }));
}

bool ScreenTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Widgets.fraScreenArea && event->type() == QEvent::Paint && window()->isFullScreen()) {
    PaintSurround();
    return false;
  }
  if (Attached == nullptr) {
    return QWidget::eventFilter(watched, event);
  }
  bool handled = false;
  RunGuarded(Report, [&] { handled = FilterPanelEvent(watched, event); });
  return handled;
}

// Full screen: the surround is the screen's own background, not the window's grey.
void ScreenTab::PaintSurround() {
  const QColor back = QtDrawingSurface::ToQColor(HmiSurface->BackColour());
  QPainter painter(Widgets.fraScreenArea);
  painter.fillRect(Widgets.fraScreenArea->rect(), back);
  QPalette title = Widgets.fraScreenArea->palette();  // the title stays readable on it
  title.setColor(QPalette::WindowText, back.lightness() < 128 ? Qt::white : Qt::black);
  Widgets.lblHMITitle->setPalette(title);
}

bool ScreenTab::FilterPanelEvent(QObject* watched, QEvent* event) {
  const QVariant buttonIndex = watched->property("buttonIndex");
  if (buttonIndex.isValid()) {
    const auto index = static_cast<std::int16_t>(buttonIndex.toInt());
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      Attached->Buttons().Press(index);
    } else if (event->type() == QEvent::MouseButtonRelease) {
      Attached->Buttons().Release(index);
    }
    return false;
  }
  if (watched == Widgets.txtHMIDataEntry && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    int code = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      code = 13;
    } else if (!key->text().isEmpty()) {
      code = key->text().at(0).unicode();
    }
    return code != 0 && !Attached->Entry().FilterKey(code);  // false: the key is discarded
  }
  return QWidget::eventFilter(watched, event);
}

void ScreenTab::SetFullScreen(bool on) {
  if (on) {
    LogShownBeforeFullScreen = !Widgets.fraLogging->isHidden();
  }
  for (QWidget* other :
       {Widgets.fraPanelControls, static_cast<QWidget*>(Widgets.lblTx),
        static_cast<QWidget*>(Widgets.txtHMIRawRx), static_cast<QWidget*>(Widgets.cmdHMITestSend),
        static_cast<QWidget*>(Widgets.Label2)}) {
    other->setVisible(!on);
  }
  Widgets.fraLogging->setVisible(!on && LogShownBeforeFullScreen);
  // Full screen, nothing of the tab's own frame is left around the screen's area.
  if (on) {
    PageMargins = layout()->contentsMargins();
  }
  layout()->setContentsMargins(on ? QMargins() : PageMargins);
  if (!on) {
    Widgets.lblHMITitle->setPalette(Widgets.fraScreenArea->palette());
  }
  FitTimer.start();
}

void ScreenTab::CopyScreen() {
  QGuiApplication::clipboard()->setImage(Widgets.picHMI1->grab().toImage());
}

void ScreenTab::PlaceScreen() {
  // At the left in the window; full screen, in the middle of the display.
  const int title = Widgets.lblHMITitle->height();
  const QSize area = Widgets.fraScreenArea->size();
  const bool centred = window()->isFullScreen();
  const int left = centred ? std::max(0, (area.width() - Widgets.picHMI1->width()) / 2) : 0;
  const int top = centred ? std::max(0, (area.height() - title - Widgets.picHMI1->height()) / 2) : 0;
  Widgets.lblHMITitle->move(left, top);
  Widgets.picHMI1->move(left, top + title);
}

// The window's size beyond what its layout asks for is the screen's to grow into; at the size
// the window opens at there is none, and the screen is exactly its set-up size.
void ScreenTab::FitScreen() {
  constexpr double kTwips = QtDrawingSurface::kTwipsPerPixel;
  if (window()->isFullScreen()) {
    // The screen alone: all the room its area has, under its title.
    const QSize area = Widgets.fraScreenArea->size();
    Attached->Screen().FillArea(area.width() * kTwips,
                                (area.height() - Widgets.lblHMITitle->sizeHint().height()) * kTwips);
    PlaceScreen();
    Widgets.fraScreenArea->update();
    return;
  }
  const QSize extra = window()->size() - window()->sizeHint();
  Attached->Screen().GrowBy(std::max(0, extra.width()) * kTwips, std::max(0, extra.height()) * kTwips);
  PlaceScreen();
}

void ScreenTab::SetTitleWidth(double twips) {
  Widgets.lblHMITitle->resize(ToPixels(twips), Widgets.lblHMITitle->sizeHint().height());
  PlaceScreen();
}

void ScreenTab::SetTitleCaption(std::string_view caption) {
  Widgets.lblHMITitle->setText(ToQString(caption));
}

void ScreenTab::SetWidthBoxText(std::string_view text) {
  Widgets.txtSetWidth->setText(ToQString(text));
}

void ScreenTab::SetScreenBaseSize(double widthTwips, double heightTwips) {
  Widgets.fraScreenArea->setMinimumSize(ToPixels(widthTwips),
                                        Widgets.lblHMITitle->sizeHint().height() + ToPixels(heightTwips));
  FitTimer.start();  // the room beyond the new size is measured again
}

void ScreenTab::SetTxCaption(std::string_view caption) {
  Widgets.lblTx->setText(ToQString(caption));
}

QPushButton* ScreenTab::UserButton(int index) const {
  return index < static_cast<int>(cmdHMIUserButton.size()) ? cmdHMIUserButton[static_cast<std::size_t>(index)]
                                                           : nullptr;
}

QPushButton* ScreenTab::MakeUserButton(int index) {
  while (static_cast<int>(cmdHMIUserButton.size()) <= index) {
    auto* button = new QPushButton(Widgets.picHMI1);
    button->setObjectName(QStringLiteral("cmdHMIUserButton%1").arg(cmdHMIUserButton.size()));
    button->setProperty("buttonIndex", static_cast<int>(cmdHMIUserButton.size()));
    button->setFocusPolicy(Qt::NoFocus);  // the mouse only
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    button->setFont(font);
    button->installEventFilter(this);
    button->hide();
    cmdHMIUserButton.push_back(button);
  }
  return cmdHMIUserButton[static_cast<std::size_t>(index)];
}

void ScreenTab::ShowButton(int index, const hmi::screen::HMIButton& button) {
  QPushButton* control = MakeUserButton(index);
  control->setText(ToQString(button.Caption));
  // Screen coordinates start inside the surface's border.
  control->setGeometry(ToPixels(button.Left) + QtDrawingSurface::kBorderPixels,
                       ToPixels(button.Top) + QtDrawingSurface::kBorderPixels,
                       std::max(0, ToPixels(button.Width)), std::max(0, ToPixels(button.Height)));
  control->setVisible(button.Visible);
}

void ScreenTab::BringButtonToFront(int index) {
  MakeUserButton(index)->raise();
}

void ScreenTab::SetEntryPrompt(std::string_view prompt) {
  Widgets.lblHMIDataEntryPrompt->setText(ToPaneText(prompt));
}

void ScreenTab::SetEntryFrameVisible(bool visible) {
  QGroupBox* frame = Widgets.fraUserDataInput;
  frame->setVisible(visible);
  if (visible) {
    // Sized to its prompt, in the middle of the screen.
    frame->layout()->activate();
    frame->resize(frame->sizeHint());
    const QRect screen(Widgets.picHMI1->mapTo(frame->parentWidget(), QPoint(0, 0)), Widgets.picHMI1->size());
    frame->move(screen.x() + std::max(0, (screen.width() - frame->width()) / 2),
                screen.y() + std::max(0, (screen.height() - frame->height()) / 2));
    frame->raise();
  }
}

void ScreenTab::SetEntryText(std::string_view text) {
  Widgets.txtHMIDataEntry->setText(ToQString(text));
}

std::string ScreenTab::EntryText() const {
  return Widgets.txtHMIDataEntry->text().toStdString();
}

void ScreenTab::FocusEntry() {
  Widgets.txtHMIDataEntry->setFocus();
}

void ScreenTab::ShowHmiLog(std::string_view text) {
  LogPane->Show(text);
}

void ScreenTab::SetLogFreezeCaption(std::string_view caption) {
  Widgets.cmdLogFrz->setText(ToQString(caption));
}

void ScreenTab::SetLogPaneVisible(bool visible) {
  Widgets.fraLogging->setVisible(visible);
}

void ScreenTab::SetControlVisible(hmi::screen::PanelControl control, bool visible) {
  using hmi::screen::PanelControl;
  switch (control) {
    case PanelControl::Connect:
      Widgets.cmdHMIConnect->setVisible(visible);
      break;
    case PanelControl::Reset:
      Widgets.cmdHMIReset->setVisible(visible);
      break;
    case PanelControl::Cls:
      Widgets.cmdHMICLS->setVisible(visible);
      break;
    case PanelControl::Rulers:
      Widgets.cmdHMIRulers->setVisible(visible);
      break;
    case PanelControl::AspectRatio:
      Widgets.fraAspectRatio->setVisible(visible);
      break;
    case PanelControl::Width:
      Widgets.txtSetWidth->setVisible(visible);
      Widgets.cmdHMISetWidth->setVisible(visible);
      break;
    case PanelControl::ShowTrace:
      Widgets.cmdShowTrace->setVisible(visible);
      break;
  }
}

std::string ScreenTab::WidthBoxText() const {
  return Widgets.txtSetWidth->text().toStdString();
}

void ScreenTab::ShowTestEcho(std::string_view hexListing) {
  Widgets.Label2->setText(ToQString(hexListing));
}

std::string ScreenTab::SaveScreenPicture(const std::string& path) {
  QImageWriter writer(QString::fromStdString(path), "png");
  if (!writer.write(Widgets.picHMI1->grab().toImage())) {
    return writer.errorString().toStdString();
  }
  return {};
}

void ScreenTab::SetCheckBox(app::SettingsCheck which, bool ticked) {
  if (which == app::SettingsCheck::TraceToDisk) {
    Widgets.chkHMITraceToDisk->setChecked(ticked);
  }
}

}  // namespace korvani::ui
