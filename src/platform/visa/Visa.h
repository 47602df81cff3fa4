#pragma once
// Our own small instrument I/O layer in the shape of the classic VISA calls:
// a default resource manager, a resource search with find-next, open, write,
// read of at most N bytes, a formatted "%t" read of one whole message into a
// bounded buffer, and close. Back ends: Linux USBTMC device files and a TCP
// socket (the simulated instrument); aliases from KV2200_VISA_ALIASES let the
// USB search find any target under a USB-style name. See readme.md.
#include <QList>
#include <QString>
#include <cstdint>

using ViStatus = int32_t;
using ViObject = uint32_t;
using ViSession = ViObject;
using ViFindList = ViObject;
using ViUInt32 = uint32_t;
using ViByte = uint8_t;
using ViChar = char;

constexpr ViObject VI_NULL = 0;
constexpr ViUInt32 VI_NO_LOCK = 0;
// Size of a resource description buffer, terminating zero included.
constexpr int VI_FIND_BUFLEN = 256;

// Status codes: 0 success, positive = success with a remark, negative = error.
constexpr ViStatus VI_SUCCESS = 0;
constexpr ViStatus VI_SUCCESS_MAX_CNT = 0x3FFF0006;   // count filled, message goes on
constexpr ViStatus VI_ERROR_SYSTEM_ERROR = static_cast<ViStatus>(0xBFFF0000u);
constexpr ViStatus VI_ERROR_INV_OBJECT = static_cast<ViStatus>(0xBFFF000Eu);
constexpr ViStatus VI_ERROR_INV_EXPR = static_cast<ViStatus>(0xBFFF0010u);
constexpr ViStatus VI_ERROR_RSRC_NFOUND = static_cast<ViStatus>(0xBFFF0011u);
constexpr ViStatus VI_ERROR_INV_RSRC_NAME = static_cast<ViStatus>(0xBFFF0012u);
constexpr ViStatus VI_ERROR_TMO = static_cast<ViStatus>(0xBFFF0015u);
constexpr ViStatus VI_ERROR_IO = static_cast<ViStatus>(0xBFFF003Eu);
constexpr ViStatus VI_ERROR_INV_FMT = static_cast<ViStatus>(0xBFFF0078u);
constexpr ViStatus VI_ERROR_CONN_LOST = static_cast<ViStatus>(0xBFFF00A6u);

// Opens a resource manager session; closing it closes everything opened through it.
ViStatus viOpenDefaultRM(ViSession* rm);
// Finds the resources whose names match expr (VISA expression: "?" any one
// character, "*" and "+" repeat what precedes, "[...]" a set; case-insensitive).
// desc (VI_FIND_BUFLEN bytes) receives the first match, or "" when none; count
// the number of matches. No match: VI_ERROR_RSRC_NFOUND, count 0.
ViStatus viFindRsrc(ViSession rm, const char* expr, ViFindList* list, ViUInt32* count, ViChar* desc);
// The next match of a find list; VI_ERROR_RSRC_NFOUND when exhausted.
ViStatus viFindNext(ViFindList list, ViChar* desc);
// Opens an instrument session. accessMode and openTimeout are accepted and
// not used (no locking). Unknown name: VI_ERROR_RSRC_NFOUND.
ViStatus viOpen(ViSession rm, const char* name, ViUInt32 accessMode, ViUInt32 openTimeout, ViSession* vi);
// Writes count bytes as one message.
ViStatus viWrite(ViSession vi, const ViByte* buf, ViUInt32 count, ViUInt32* retCount);
// Reads at most count bytes of the current message. VI_SUCCESS when the message
// ended, VI_SUCCESS_MAX_CNT when count bytes came and the message goes on (the
// rest is there for the next read), VI_ERROR_TMO / VI_ERROR_CONN_LOST / VI_ERROR_IO
// with *retCount holding the bytes that did arrive.
ViStatus viRead(ViSession vi, ViByte* buf, ViUInt32 count, ViUInt32* retCount);
// Formatted read. Only "%t" is supported: reads one whole message, stores its
// first bufSize bytes (any values) and drops the rest. *retCount (may be null)
// gets the number stored. Other formats: VI_ERROR_INV_FMT.
ViStatus viScanf(ViSession vi, const char* format, ViByte* buf, ViUInt32 bufSize, ViUInt32* retCount);
// With VI_READ_BUF_DISCARD: drops every reply byte of the session received
// so far (whole messages, and the rest of a message already begun, as it
// arrives); a stale reply then never reaches the next read. Other masks do nothing.
constexpr uint16_t VI_READ_BUF_DISCARD = 0x0004;
ViStatus viFlush(ViSession vi, uint16_t mask);
// A device clear: what viFlush drops, and the instrument's own output queue
// (a reply it has not sent yet).
ViStatus viClear(ViSession vi);
// Closes a session, a find list or a resource manager.
ViStatus viClose(ViObject obj);

namespace Visa {
// Read and write time-out of sessions opened from now on, in ms. Default:
// KV2200_VISA_TIMEOUT_MS when it holds a positive number, else 3000.
// ms <= 0 goes back to that default.
void SetDefaultTimeoutMs(int ms);
int DefaultTimeoutMs();

struct Alias {
    QString name;    // USB-style name the search reports
    QString target;  // what opening it opens
};
// The pairs of KV2200_VISA_ALIASES ("NAME=TARGET;NAME=TARGET"), malformed ones skipped.
QList<Alias> Aliases();

// True when a VISA search expression matches the whole name (case-insensitive).
// *valid (may be null) is set False for a malformed expression.
bool MatchesExpression(const QString& expr, const QString& name, bool* valid = nullptr);

struct UsbtmcDevice {
    QString resource;    // "USB0::0xVVVV::0xPPPP::SERIAL::INSTR"
    QString devicePath;  // "/dev/usbtmcN"
};
// The USBTMC instruments the kernel driver offers, from sysfs, ordered by N.
// No driver or no device gives an empty list.
QList<UsbtmcDevice> UsbtmcDevices(const QString& sysClassDir = "/sys/class/usbmisc",
                                  const QString& devDir = "/dev");
}  // namespace Visa
