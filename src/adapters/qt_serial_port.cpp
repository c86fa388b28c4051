// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapters/qt_serial_port.h"

#include <QTimer>
#include <algorithm>
#include <string_view>
#include <type_traits>

#ifndef Q_OS_WIN
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace korvani::ui {

// How much the reading thread reads ahead of the window's thread, and how much the device
// itself may hold besides: beyond that the system's buffer fills and the sender waits (or
// flow control holds it), as it would for a reader that is busy. The read-ahead stays well
// under the capacity, so reading ahead is never taken for an overflow.
constexpr qint64 kReadAhead = qint64{1} << 20;
constexpr qint64 kDeviceBuffer = qint64{64} << 10;
static_assert(kReadAhead + kDeviceBuffer < QtSerialPort::kCapacity);
constexpr std::size_t kFirstBuffer = std::size_t{64} << 10;

template <typename Request>
auto QtSerialPort::OnReader(Request request) const {
  using Answer = decltype(request());
  if constexpr (std::is_void_v<Answer>) {
    QMetaObject::invokeMethod(OnReaderThread, request, Qt::BlockingQueuedConnection);
  } else {
    Answer answer{};
    QMetaObject::invokeMethod(OnReaderThread, request, Qt::BlockingQueuedConnection, &answer);
    return answer;
  }
}

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  Arrived.reserve(kFirstBuffer);
  Reader.setObjectName(QStringLiteral("serial reader"));
  Reader.start();
  // A context object living on the reading thread, for the calls made to run there.
  OnReaderThread = new QObject;
  OnReaderThread->moveToThread(&Reader);
  connect(&Reader, &QThread::finished, OnReaderThread, &QObject::deleteLater);
  OnReader([this] { MakeDevice(); });
}

void QtSerialPort::MakeDevice() {
  Device = std::make_unique<QSerialPort>();
  Device->setReadBufferSize(kDeviceBuffer);
  connect(Device.get(), &QSerialPort::readyRead, Device.get(), [this] { TakeArrived(); });
  connect(Device.get(), &QSerialPort::errorOccurred, Device.get(),
          [this](QSerialPort::SerialPortError error) { OnError(error); });
  HangUpTimer = std::make_unique<QTimer>();
  HangUpTimer->setInterval(1000);
  connect(HangUpTimer.get(), &QTimer::timeout, HangUpTimer.get(), [this] { CheckHangUp(); });
  BreakTimer = std::make_unique<QTimer>();
  BreakTimer->setSingleShot(true);
  connect(BreakTimer.get(), &QTimer::timeout, BreakTimer.get(),
          [this] { OwnRequest([this] { return Device->isOpen() && Device->setBreakEnabled(false); }); });
}

QtSerialPort::~QtSerialPort() {
  OnReader([this] {
    Device->disconnect();
    Device->close();
    Device.reset();
    HangUpTimer.reset();
    BreakTimer.reset();
  });
  Reader.quit();
  Reader.wait();
}

void QtSerialPort::TakeArrived() {
  const qint64 inDevice = Device->bytesAvailable();
  if (inDevice == 0) {
    // Readable yet nothing to read: the other end hung up.
    DeviceLost();
    return;
  }
  bool tell = false;
  {
    const std::lock_guard<std::mutex> lock(Mutex);
    const qint64 room = kReadAhead - static_cast<qint64>(Arrived.size());
    const qint64 taken = std::min(inDevice, std::max<qint64>(room, 0));
    if (taken > 0) {
      const std::size_t had = Arrived.size();
      Arrived.resize(had + static_cast<std::size_t>(taken));
      const qint64 got = Device->read(Arrived.data() + had, taken);
      Arrived.resize(had + static_cast<std::size_t>(std::max<qint64>(got, 0)));
    }
    Held = Device->bytesAvailable() > 0;
    tell = !Told && !Arrived.empty();
    Told = Told || tell;
  }
  if (tell) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          {
            const std::lock_guard<std::mutex> lock(Mutex);
            Told = false;
          }
          Raise(ports::PortEvent::Received);
        },
        Qt::QueuedConnection);
  }
}

void QtSerialPort::ResumeIfHeld() {
  bool resume = false;
  {
    const std::lock_guard<std::mutex> lock(Mutex);
    resume = Held && static_cast<qint64>(Arrived.size()) < kReadAhead / 2;
    Held = Held && !resume;
  }
  if (resume) {
    // What the device held may have been taken since by bytes arriving: an empty device is
    // then no sign of a hang-up.
    QMetaObject::invokeMethod(
        OnReaderThread,
        [this] {
          if (Device->isOpen() && Device->bytesAvailable() > 0) {
            TakeArrived();
          }
        },
        Qt::QueuedConnection);
  }
}

void QtSerialPort::CheckHangUp() {
  if (!Device->isOpen()) {
    HangUpTimer->stop();
    return;
  }
#ifndef Q_OS_WIN
  pollfd watched{static_cast<int>(Device->handle()), POLLIN, 0};
  if (::poll(&watched, 1, 0) > 0 && (watched.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    DeviceLost();
  }
#endif
}

void QtSerialPort::CloseDevice() {
  if (Device->isOpen()) {
    OwnCall = true;  // a close's errors are no communication events
    Device->close();
    Device->clearError();
    OwnCall = false;
  }
  Handle = -1;
}

void QtSerialPort::SetError(std::string text) {
  const std::lock_guard<std::mutex> lock(Mutex);
  ErrorText = std::move(text);
}

std::string QtSerialPort::LastError() const {
  const std::lock_guard<std::mutex> lock(Mutex);
  return ErrorText;
}

void QtSerialPort::SetPortNumber(std::int16_t number) {
  Number = number;
}

bool QtSerialPort::IsOpen() const {
  return Opened;
}

bool QtSerialPort::SetOpen(bool open) {
  return OnReader([this, open] {
    if (!open) {
      CloseDevice();
      Opened = false;
      return true;
    }
    if (Device->isOpen()) {
      return true;
    }
    const QString path = Resolve ? QString::fromStdString(Resolve(Number)) : QString();
    if (path.isEmpty()) {
      SetError("COM" + std::to_string(Number) + " is not on this machine");
      return false;
    }
    OwnCall = true;
    LossPending = false;
    {
      const std::lock_guard<std::mutex> lock(Mutex);
      Arrived.clear();  // what the last opening left unread goes, as a closed device's does
      Held = false;
    }
    Device->setPortName(path);
    bool opened = Device->open(QIODevice::ReadWrite);
    std::string refusal = opened ? ApplyLineSettings() : std::string();
    if (opened && !refusal.empty()) {
      SetError(refusal);
      Device->close();
      opened = false;
    } else if (!opened) {
      SetError(OpenFailureText(path, Device->error(), Device->errorString()));
    } else {
      ApplyLinesOnOpen();  // a line a pty does not have is no reason to fail
      Device->clearError();
      Device->pinoutSignals();  // a device without control lines (a pty) answers with an error
      LinesReadable = Device->error() == QSerialPort::NoError;
      SetError({});
#ifndef Q_OS_WIN
      Handle = static_cast<int>(Device->handle());
#endif
      HangUpTimer->start();
    }
    Device->clearError();
    OwnCall = false;
    Openings += opened ? 1 : 0;
    Opened = opened;
    return opened;
  });
}

bool QtSerialPort::SetDtr(bool on) {
  return OnReader([this, on] {
    return OwnRequest([this, on] { return Device->isOpen() && Device->setDataTerminalReady(on); });
  });
}

bool QtSerialPort::SetRts(bool on) {
  return OnReader([this, on] {
    return OwnRequest([this, on] {
      return Device->isOpen() && Settings.Flow != ports::FlowControl::RtsCts && Device->setRequestToSend(on);
    });
  });
}

ports::ControlLines QtSerialPort::Lines() const {
  // Reading the lines asks the device, and a device without them sets an error.
  auto& self = const_cast<QtSerialPort&>(*this);
  return OnReader([&self] {
    ports::ControlLines lines;
    self.OwnRequest([&self, &lines] {
      if (!self.Device->isOpen()) {
        return false;
      }
      const QSerialPort::PinoutSignals signalsNow = self.Device->pinoutSignals();
      lines.Dtr = signalsNow.testFlag(QSerialPort::DataTerminalReadySignal);
      lines.Rts = signalsNow.testFlag(QSerialPort::RequestToSendSignal);
      lines.Cts = signalsNow.testFlag(QSerialPort::ClearToSendSignal);
      lines.Dsr = signalsNow.testFlag(QSerialPort::DataSetReadySignal);
      lines.Dcd = signalsNow.testFlag(QSerialPort::DataCarrierDetectSignal);
      lines.Ri = signalsNow.testFlag(QSerialPort::RingIndicatorSignal);
      return true;
    });
    return lines;
  });
}

bool QtSerialPort::SendBreak(int milliseconds) {
  return OnReader([this, milliseconds] {
    const bool started = OwnRequest([this] { return Device->isOpen() && Device->setBreakEnabled(true); });
    if (started) {
      BreakTimer->start(milliseconds);
    }
    return started;
  });
}

bool QtSerialPort::OwnRequest(const std::function<bool()>& request) {
  // Its failure is answered by the result; it is no communication event.
  OwnCall = true;
  const bool done = request();
  Device->clearError();
  OwnCall = false;
  return done;
}

void QtSerialPort::Raise(ports::PortEvent event) {
  RunGuarded(Report, [this, event] { RaiseEvent(event); });
}

std::int64_t QtSerialPort::BytesWaiting() const {
  const std::lock_guard<std::mutex> lock(Mutex);
  return static_cast<std::int64_t>(Arrived.size());
}

std::int64_t QtSerialPort::BytesToWrite() const {
  return Opened ? OnReader([this] { return Device->isOpen() ? Device->bytesToWrite() : qint64{0}; }) : 0;
}

bool QtSerialPort::MoreArriving() const {
  if (!Opened) {
    return false;
  }
  {
    const std::lock_guard<std::mutex> lock(Mutex);
    if (!Arrived.empty() || Held) {
      return true;
    }
  }
#ifdef Q_OS_WIN
  return false;
#else
  int waiting = 0;  // in the driver, not yet read
  return ::ioctl(Handle, FIONREAD, &waiting) == 0 && waiting > 0;
#endif
}

std::string QtSerialPort::ReadInput() {
  std::string data;
  {
    const std::lock_guard<std::mutex> lock(Mutex);
    if (ReadLength > 0 && Arrived.size() > static_cast<std::size_t>(ReadLength)) {
      data.assign(Arrived, 0, static_cast<std::size_t>(ReadLength));
      Arrived.erase(0, static_cast<std::size_t>(ReadLength));
    } else {
      // Handed over whole, not copied; the reading thread goes on in a buffer as large,
      // allocated here so that this thread allocates and frees all of them.
      data.swap(Arrived);
      Arrived.reserve(std::max(data.capacity(), kFirstBuffer));
    }
  }
  ResumeIfHeld();
  return data;
}

bool QtSerialPort::Write(std::string_view data) {
  if (!Opened) {
    return false;
  }
  return OnReader([this, data] {
    const auto size = static_cast<qint64>(data.size());
    return Device->isOpen() && Device->write(data.data(), size) == size;
  });
}

void QtSerialPort::DeviceLost() {
  if (LossPending || !Device->isOpen()) {
    return;
  }
  LossPending = true;
  // Closing from inside the port's own signal is not safe, and a hung-up device repeats its
  // error: close once, from the event loop.
  QTimer::singleShot(0, Device.get(), [this] {
    if (!LossPending) {
      return;
    }
    TakeArrived();  // what arrived before the loss is kept
    SetError(Device->portName().toStdString() + ": the device went away");
    CloseDevice();
    LossPending = false;
    // The window's thread learns it is closed with the event, in order after what arrived,
    // unless it has opened the port again meanwhile.
    QMetaObject::invokeMethod(
        this,
        [this, opening = Openings.load()] {
          if (Openings == opening) {
            Opened = false;
          }
          Raise(ports::PortEvent::DeviceGone);
        },
        Qt::QueuedConnection);
  });
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  // Errors of our own open, close and line requests are answered by their results; a write to
  // a closed port is answered by Write's.
  if (OwnCall || error == QSerialPort::NoError || error == QSerialPort::NotOpenError) {
    return;
  }
  std::string text = Device->errorString().toStdString();  // clearError() resets it
  Device->clearError();
  if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
    DeviceLost();
    return;
  }
  SetError(std::move(text));
  QMetaObject::invokeMethod(
      this, [this, error] { Raise(EventFor(error)); }, Qt::QueuedConnection);
}

}  // namespace korvani::ui
