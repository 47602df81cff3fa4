#pragma once
// Back ends of the VISA layer: one instrument connection each. Internal to
// platform/visa.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/visa/Visa.h"

namespace Visa {

class InstrumentIo {
public:
    virtual ~InstrumentIo() = default;
    // Writes all n bytes as one message within timeoutMs.
    virtual ViStatus Write(const uint8_t* data, size_t n, size_t* written, int timeoutMs) = 0;
    // Reads at most max bytes of the current message within timeoutMs:
    // VI_SUCCESS at the end of the message, VI_SUCCESS_MAX_CNT when max bytes
    // came and the message goes on, else an error; *got = bytes delivered.
    virtual ViStatus Read(uint8_t* data, size_t max, size_t* got, int timeoutMs) = 0;
    // Drops the reply bytes the host has received so far, and the rest of a
    // message already begun when it arrives. Never waits.
    virtual void DiscardInput() = 0;
    // A device clear: the instrument drops its output queue and the replies
    // it still owes, and the host drops whatever came before the clear took
    // effect. After VI_SUCCESS the next message is the reply to a request
    // written after the clear. Waits at most timeoutMs.
    virtual ViStatus ClearDevice(int timeoutMs) = 0;
};

// "host", port: a socket to the simulated instrument (length-prefixed replies).
std::unique_ptr<InstrumentIo> OpenTcpIo(const QString& host, quint16 port, int timeoutMs, ViStatus* status);
// A USBTMC device file such as "/dev/usbtmc0".
std::unique_ptr<InstrumentIo> OpenUsbtmcIo(const QString& devicePath, int timeoutMs, ViStatus* status);

}  // namespace Visa
