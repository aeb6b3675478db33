#include "link/QtSerialControl.h"

#include "link/PortNames.h"
#include "sequence/NumberText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QTimer>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kadenzo {

namespace {

std::string portLabel(int n) {
    return "COM" + intToText(n);
}

// QSerialPort's verdict on a device that stopped working: a read that found the
// line hung up (pseudo-terminal master closed) reports ReadError, an adapter
// that was pulled ResourceError.
bool meansGone(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

std::string qtMessage(const QSerialPort& port) {
    return port.errorString().toStdString();
}

// QSerialPort reports both "held by another program" (its lock file, or the
// device's exclusive mode) and "this user may not open it" as PermissionError;
// only the second fails this test.
bool userMayOpen(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return true;
#else
    return ::access(path.c_str(), R_OK | W_OK) == 0;
#endif
}

// Counts the calls in progress, so errors found inside a call are handled by
// that call and not by the idle path.
class CallScope {
public:
    explicit CallScope(int& depth) : depth_(depth) { ++depth_; }
    ~CallScope() { --depth_; }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    int& depth_;
};

} // namespace

QtSerialControl::QtSerialControl() : port_(std::make_unique<QSerialPort>()) {
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                     [this](QSerialPort::SerialPortError error) {
                         if (callDepth_ == 0 && meansGone(error))
                             onIdleError();
                     });
}

QtSerialControl::~QtSerialControl() {
    QObject::disconnect(port_.get(), nullptr, nullptr, nullptr);
    closePort();
}

bool QtSerialControl::isOpen() const {
    return port_->isOpen();
}

void QtSerialControl::closePort() {
    if (port_->isOpen())
        port_->close();
    port_->clearError();
    device_.clear();
    ++generation_;
}

void QtSerialControl::deviceGone(const std::string& what) {
    const std::string msg = portLabel(ComPort) + " (" + device_ + "): " + what;
    closePort();
    raiseError(serr::DeviceGone, msg);
}

void QtSerialControl::onIdleError() {
    // Found by the read notifier between calls (a hung-up line keeps it firing).
    // Closing is left to the event loop's next turn, outside QSerialPort's own
    // handler; a port reopened meanwhile is left alone.
    const unsigned generation = generation_;
    QTimer::singleShot(0, port_.get(), [this, generation] {
        if (generation != generation_ || !port_->isOpen())
            return;
        lostDevice_ = device_;
        closePort();
        lostIdle_ = true;
    });
}

bool QtSerialControl::reportIdleLoss() {
    if (!lostIdle_)
        return false;
    lostIdle_ = false;
    raiseError(serr::DeviceGone, portLabel(ComPort) + " (" + lostDevice_ + ") stopped working");
    return true;
}

void QtSerialControl::PortConfigure() {
    CallScope scope(callDepth_);
    closePort();
    lostIdle_ = false;

    const std::string label = portLabel(ComPort);
    const auto path = portDevicePath(ComPort);
    if (!path) {
        raiseError(serr::PortInvalid, label + ": no device has this port number");
        return;
    }
    if (!isSerialDevice(*path)) {
        raiseError(serr::PortInvalid, label + " (" + *path + ") is no present serial device");
        return;
    }

    port_->setPortName(QFile::decodeName(path->c_str()));
    port_->setBaudRate(BaudRate);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_->error();
        const std::string msg = label + " (" + *path + "): " + qtMessage(*port_);
        port_->clearError();
        int32_t code = serr::OpenFailed;
        if (error == QSerialPort::DeviceNotFoundError)
            code = serr::PortInvalid;
        else if (error == QSerialPort::PermissionError && userMayOpen(*path))
            code = serr::PortInUse;
        raiseError(code, msg);
        return;
    }
    device_ = *path;
    // Whatever the device held before it was opened is no reply of ours.
    port_->clear(QSerialPort::AllDirections);
    port_->clearError();
}

void QtSerialControl::PortReset() {
    closePort();
    lostIdle_ = false;
}

void QtSerialControl::PortWrite(std::string_view text) {
    CallScope scope(callDepth_);
    if (!port_->isOpen()) {
        if (!reportIdleLoss())
            raiseError(serr::NotOpen, portLabel(ComPort) + ": no port is open");
        return;
    }
    if (text.empty())
        return;

    // Unread input is stale before a command goes out: a reply that arrived after
    // its read timed out would otherwise be taken as the answer to the next query.
    if (!port_->clear(QSerialPort::Input)) {
        if (meansGone(port_->error())) {
            deviceGone(qtMessage(*port_));
            return;
        }
        port_->clearError();
    }

    const auto size = static_cast<qint64>(text.size());
    if (port_->write(text.data(), size) != size) {
        const std::string msg = qtMessage(*port_);
        port_->clear(QSerialPort::Output);
        port_->clearError();
        raiseError(serr::WriteFailed, portLabel(ComPort) + " (" + device_ + "): " + msg);
        return;
    }
    // Every byte is handed to the device before the call returns.
    QElapsedTimer timer;
    timer.start();
    while (port_->bytesToWrite() > 0) {
        const qint64 left = WriteTimeoutMs - timer.elapsed();
        if (left > 0 && port_->waitForBytesWritten(static_cast<int>(left)))
            continue;
        if (meansGone(port_->error())) {
            deviceGone(qtMessage(*port_));
            return;
        }
        const std::string msg = left > 0 ? qtMessage(*port_) : "write timed out";
        // Bytes left behind must not go out later, in the middle of another command.
        port_->clear(QSerialPort::Output);
        port_->clearError();
        raiseError(serr::WriteFailed, portLabel(ComPort) + " (" + device_ + "): " + msg);
        return;
    }
}

std::string QtSerialControl::PortRead(int32_t count) {
    CallScope scope(callDepth_);
    std::string reply;
    if (!port_->isOpen()) {
        reportIdleLoss();
        raiseError(serr::Timeout, portLabel(ComPort) + ": no port is open");
        return reply;
    }
    if (count <= 0)
        return reply;

    const auto limit = static_cast<std::size_t>(count);
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        char c = 0;
        while (reply.size() < limit && port_->getChar(&c)) {
            reply += c;
            if (c == '\n')
                return reply;
        }
        if (reply.size() == limit)
            return reply;

        const qint64 left = ReadTimeoutMs - timer.elapsed();
        if (left <= 0)
            break;
        if (port_->waitForReadyRead(static_cast<int>(left)))
            continue;
        const QSerialPort::SerialPortError error = port_->error();
        if (error == QSerialPort::TimeoutError || error == QSerialPort::NoError) {
            port_->clearError();
            break;
        }
        // Any other failure leaves the port unusable: it is closed and reported,
        // and the read then ends without a reply like any other read.
        deviceGone(qtMessage(*port_));
        raiseError(serr::Timeout, portLabel(ComPort) + ": no reply, the device stopped working");
        return reply;
    }
    raiseError(serr::Timeout, portLabel(ComPort) + ": no complete reply in time");
    return reply;
}

bool QtSerialControl::PortExists(int n) const {
    return presentPortDevice(n).has_value();
}

std::string QtSerialControl::PortDevice(int n) const {
#ifdef _WIN32
    return n >= 1 ? portLabel(n) : std::string();
#else
    return portDevicePath(n).value_or(std::string());
#endif
}

} // namespace kadenzo
