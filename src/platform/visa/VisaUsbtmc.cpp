// USBTMC back end: the Linux kernel driver's device files (/dev/usbtmcN).
// One read() returns at most the count asked for of one instrument message;
// the rest of a longer message stays with the device for the next read.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <linux/usb/tmc.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "common/ReadFile.h"
#include "platform/visa/VisaIo.h"

namespace Visa {
namespace {

ViStatus errnoStatus(int e) {
    switch (e) {
    case ETIMEDOUT: return VI_ERROR_TMO;
    case ENODEV:
    case ESHUTDOWN:
    case ENXIO: return VI_ERROR_CONN_LOST;
    default: return VI_ERROR_IO;
    }
}

class UsbtmcIo : public InstrumentIo {
public:
    explicit UsbtmcIo(int fd) : fd_(fd) {}
    ~UsbtmcIo() override { ::close(fd_); }

    ViStatus Write(const uint8_t* data, size_t n, size_t* written, int timeoutMs) override {
        setTimeout(timeoutMs);
        *written = 0;
        while (*written < n) {
            const ssize_t k = ::write(fd_, data + *written, n - *written);
            if (k < 0 && errno == EINTR) continue;
            if (k <= 0) return errnoStatus(k < 0 ? errno : EIO);
            *written += size_t(k);
        }
        return VI_SUCCESS;
    }

    ViStatus Read(uint8_t* data, size_t max, size_t* got, int timeoutMs) override {
        setTimeout(timeoutMs);
        *got = 0;
        ssize_t k;
        do {
            k = ::read(fd_, data, max);
        } while (k < 0 && errno == EINTR);
        if (k < 0) return errnoStatus(errno);
        *got = size_t(k);
        // The driver reports whether the last transfer ended the message;
        // drivers without that report end a message with a short read.
        uint8_t attr = 0;
        bool ended = size_t(k) < max;
#ifdef USBTMC_IOCTL_MSG_IN_ATTR
        if (::ioctl(fd_, USBTMC_IOCTL_MSG_IN_ATTR, &attr) == 0) ended = (attr & 1) != 0 || size_t(k) < max;
#endif
        return ended ? VI_SUCCESS : VI_SUCCESS_MAX_CNT;
    }

    // The driver keeps no reply bytes of its own between reads.
    void DiscardInput() override {}
    // The driver's clear request empties the instrument's output queue and
    // the bulk-in pipe. Only a device that is gone fails it here: a clear the
    // device refuses leaves the stale replies to the caller's own check.
    ViStatus ClearDevice(int timeoutMs) override {
        setTimeout(timeoutMs);
#ifdef USBTMC_IOCTL_CLEAR
        if (::ioctl(fd_, USBTMC_IOCTL_CLEAR) != 0) {
            const ViStatus st = errnoStatus(errno);
            if (st == VI_ERROR_CONN_LOST) return st;
        }
#endif
        return VI_SUCCESS;
    }

private:
    void setTimeout(int ms) {
        if (ms == timeout_) return;
        timeout_ = ms;
#ifdef USBTMC_IOCTL_SET_TIMEOUT
        __u32 t = __u32(std::max(ms, 100));  // the driver's smallest time-out
        ::ioctl(fd_, USBTMC_IOCTL_SET_TIMEOUT, &t);
#endif
    }

    int fd_;
    int timeout_ = -1;
};

// A device attribute (sysfs shows each as a regular file of one page).
QString readTrimmed(const QString& path) {
    constexpr qint64 AttributeMax = 4096;
    QFile f(path);
    if (!OpenRegularFile(f, AttributeMax, nullptr)) return QString();
    return QString::fromLatin1(f.read(AttributeMax)).trimmed();
}

}  // namespace

std::unique_ptr<InstrumentIo> OpenUsbtmcIo(const QString& devicePath, int, ViStatus* status) {
    const int fd = ::open(QFile::encodeName(devicePath).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        *status = errno == ENOENT || errno == ENODEV ? VI_ERROR_RSRC_NFOUND : VI_ERROR_IO;
        return nullptr;
    }
    *status = VI_SUCCESS;
    return std::make_unique<UsbtmcIo>(fd);
}

QList<UsbtmcDevice> UsbtmcDevices(const QString& sysClassDir, const QString& devDir) {
    struct Found {
        int number;
        UsbtmcDevice device;
    };
    QList<Found> found;
    static const QRegularExpression nodeName("^usbtmc(\\d+)$");
    const QStringList nodes = QDir(sysClassDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& node : nodes) {
        const auto m = nodeName.match(node);
        if (!m.hasMatch()) continue;
        // <node>/device is the USB interface; its parent folder is the USB device.
        const QString iface = QFileInfo(sysClassDir + "/" + node + "/device").canonicalFilePath();
        if (iface.isEmpty()) continue;
        const QString usbDev = QFileInfo(iface + "/..").canonicalFilePath();
        bool okV = false, okP = false;
        const uint vid = readTrimmed(usbDev + "/idVendor").toUInt(&okV, 16);
        const uint pid = readTrimmed(usbDev + "/idProduct").toUInt(&okP, 16);
        if (!okV || !okP) continue;
        QString serial = readTrimmed(usbDev + "/serial");
        if (serial.isEmpty()) serial = node;  // a device without a serial number
        UsbtmcDevice d;
        const auto hex4 = [](uint v) { return QString::number(v, 16).toUpper().rightJustified(4, '0'); };
        d.resource = QString("USB0::0x%1::0x%2::%3::INSTR").arg(hex4(vid), hex4(pid), serial);
        d.devicePath = devDir + "/" + node;
        found.append({m.captured(1).toInt(), d});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.number < b.number; });
    QList<UsbtmcDevice> out;
    for (const Found& f : found) out.append(f.device);
    return out;
}

}  // namespace Visa
