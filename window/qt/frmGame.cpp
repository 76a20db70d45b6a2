// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "frmGame.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <iostream>

#include "Controls.h"
#include "KeyReceiver.h"
#include "LevelLoader.h"
#include "PictureFile.h"
#include "Playfield.h"
#include "RunButton.h"
#include "WindowLayout.h"

namespace vornak {

namespace {

// One failure shows everything the level maker needs to act on; the checker then lists every
// other problem at once, instead of one start of the game per fault.
QString WithCheckerHint(const QString& message) {
    return QString::fromStdString(vornak::WithCheckerHint(message.toStdString()));
}

// Qt places widgets in whole logical pixels; at a fractional desktop scale a game pixel is a
// fraction of one, and the nearest whole one is as close as an element's edge can get.
QRect Scaled(const ElementPlace& place, double scale) {
    return QRectF(place.left * scale, place.top * scale, place.width * scale, place.height * scale)
        .toRect();
}

int LogicalSize(int gamePixels, double scale) {
    return static_cast<int>(std::ceil(gamePixels * scale - 1e-9));
}

}  // namespace

frmGame::frmGame(std::filesystem::path programDir, MissingMapFile missingMapFile)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      GameWindow(std::move(programDir), missingMapFile),
      playfield_(new Playfield(this, MutableFrame())),
      picKeyReceiver_(new KeyReceiver(
          this, [this](int keyCode, int shift) { picKeyReceiver_KeyDown(keyCode, shift); })),
      cmdRun_(new RunButton(QString::fromUtf8(StartCaption), this)),
      buttonFont_(cmdRun_->font()) {
    setWindowTitle(QString::fromUtf8(WindowTitle));
    // Built into the binary, so that a run from the build tree shows it too.
    setWindowIcon(QIcon(QStringLiteral(":/net.vornak.Vornak.png")));
    setFocusPolicy(Qt::NoFocus);
    SetZoom(1);
    playfield_->lower();
    DescribeForScreenReaders();
    setTabOrder(picKeyReceiver_, cmdRun_);
    picKeyReceiver_->setFocus();

    tmrMainLoop_.setInterval(ClockPeriodMilliseconds);
    tmrMainLoop_.setTimerType(Qt::PreciseTimer);
    connect(&tmrMainLoop_, &QTimer::timeout, this, [this] { tmrMainLoop_Timer(); });
    connect(cmdRun_, &QPushButton::clicked, this, [this] { cmdRun_Click(); });
}

frmGame::~frmGame() = default;

QWidget* frmGame::picKeyReceiver() const {
    return picKeyReceiver_;
}
QPushButton* frmGame::cmdRun() const {
    return cmdRun_;
}

void frmGame::DescribeForScreenReaders() {
    playfield_->setAccessibleName(QStringLiteral("Playfield"));
    playfield_->setAccessibleDescription(
        QStringLiteral("The circuit seen from above: the red car 1 and the blue car 2 on a grid "
                       "of 20 by 15 cells"));
    picKeyReceiver_->setAccessibleName(QStringLiteral("Steering keys"));
    picKeyReceiver_->setAccessibleDescription(
        QStringLiteral("While this has the keyboard focus, the arrow keys steer car 1 and W, A, S "
                       "and D steer car 2"));
    cmdRun_->setAccessibleName(QStringLiteral("Start, pause or resume"));
    cmdRun_->setAccessibleDescription(
        QStringLiteral("Starts the race clock, pauses it, and resumes it"));
}

int frmGame::ChooseZoom(QSize available) {
    return vornak::ChooseZoom(available.width(), available.height());
}

// Every element grows by the same factor, zoom device pixels per game pixel, so the layout
// keeps its proportions and the pictures stay sharp at any desktop scale; the logic still reads
// and writes car positions in the game's own pixels.
void frmGame::SetZoom(int zoom) {
    zoom_ = std::max(zoom, 1);
    const double scale = zoom_ / devicePixelRatioF();  // logical pixels per game pixel
    setFixedSize(LogicalSize(ClientWidth, scale), LogicalSize(ClientHeight, scale));
    playfield_->move(0, 0);
    playfield_->SetZoom(zoom_);
    cmdRun_->setGeometry(Scaled(cmdRunPlace, scale));
    QFont font = buttonFont_;
    if (font.pixelSize() > 0) {
        font.setPixelSize(static_cast<int>(std::lround(font.pixelSize() * scale)));
    } else {
        font.setPointSizeF(font.pointSizeF() * scale);
    }
    cmdRun_->setFont(font);
    picKeyReceiver_->setGeometry(Scaled(picKeyReceiverPlace, scale));
}

// Under X11 the window manager honours the position; Wayland compositors place windows
// themselves and ignore it.
void frmGame::ShowCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const double ratio = screen->devicePixelRatio();
        const QSize available = screen->availableGeometry().size();
        SetZoom(ChooseDeviceZoom(static_cast<int>(available.width() * ratio),
                                 static_cast<int>(available.height() * ratio), ratio));
        QRect area(QPoint(), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    show();
    activateWindow();
    FocusKeyReceiver();
}

// Activation normally hands the focus back to picKeyReceiver on its own; this covers the case
// where no element holds it and the window itself would.
bool frmGame::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate &&
        (focusWidget() == nullptr || focusWidget() == this)) {
        Form_GotFocus();
    }
    return handled;
}

void frmGame::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    Form_GotFocus();
}

void frmGame::ShowChanges() {
    playfield_->PaintChanges();
}

// The playfield and the window's empty part take no focus of their own; a press there ends up
// here and gives the keys back.
void frmGame::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    ClickOutsideControls();
}

void frmGame::ReportStartFailure(const QString& message) {
    const QString shown = WithCheckerHint(message);
    std::cerr << "Vornak: " << shown.toLocal8Bit().constData() << std::endl;
    ShowFailureBox(shown);
}

void frmGame::ReportFailure(const std::string& message) {
    reportFailure_(QString::fromLocal8Bit(message.c_str()));
    // Inside Form_Load there is no event loop yet; main sees the false result instead.
    QCoreApplication::exit(1);
}

void frmGame::ShowFailureBox(const QString& message) {
    // Plain text: the message quotes level files, which must never be read as markup.
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(WindowTitle), message,
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool frmGame::ClockEnabled() const {
    return tmrMainLoop_.isActive();
}

void frmGame::SetClockEnabled(bool enabled) {
    if (enabled) {
        tmrMainLoop_.start();
    } else {
        tmrMainLoop_.stop();
    }
}

void frmGame::SetRunCaption(const std::string& caption) {
    cmdRun_->setText(QString::fromStdString(caption));
}

void frmGame::FocusKeyReceiver() {
    picKeyReceiver_->setFocus(Qt::OtherFocusReason);
}

}  // namespace vornak
