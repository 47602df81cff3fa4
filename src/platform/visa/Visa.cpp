#include "platform/visa/Visa.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/visa/VisaIo.h"

namespace {

constexpr int kBuiltinTimeoutMs = 3000;

struct VisaObject {
    enum Kind { ResourceManager, FindList, Instrument } kind = ResourceManager;
    ViObject owner = VI_NULL;     // the resource manager it was made by
    QStringList matches;          // find list: every match, and where find-next stands
    int next = 0;
    std::unique_ptr<Visa::InstrumentIo> io;  // instrument session
    int timeoutMs = kBuiltinTimeoutMs;
};

// Every open resource manager, find list and session, by handle.
struct VisaRegistry {
    std::map<ViObject, VisaObject> objects;
    ViObject nextHandle = 0x1000;
    int timeoutOverride = 0;

    VisaObject* find(ViObject h, VisaObject::Kind kind) {
        auto it = objects.find(h);
        return it != objects.end() && it->second.kind == kind ? &it->second : nullptr;
    }
    ViObject add(VisaObject&& o) {
        const ViObject h = nextHandle++;
        objects.emplace(h, std::move(o));
        return h;
    }
};

VisaRegistry& registry() {
    static VisaRegistry r;
    return r;
}

// Copies a description into a caller's VI_FIND_BUFLEN buffer, always terminated.
void copyDescription(ViChar* desc, const QString& text) {
    if (!desc) return;
    const QByteArray bytes = text.toLatin1().left(VI_FIND_BUFLEN - 1);
    std::memcpy(desc, bytes.constData(), size_t(bytes.size()));
    desc[bytes.size()] = '\0';
}

// A resource name given as a C string (it may come from a fixed-size slot).
QString nameFrom(const char* text) { return text ? QString::fromLatin1(text).trimmed() : QString(); }

// Opens a TCP or USB resource name (no alias lookup).
std::unique_ptr<Visa::InstrumentIo> openTarget(const QString& name, int timeoutMs, ViStatus* status) {
    static const QRegularExpression tcp("^TCPIP\\d*::([^:]+)::(\\d+)::SOCKET$",
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression usb("^USB\\d*::(0x[0-9a-f]+|\\d+)::(0x[0-9a-f]+|\\d+)::([^:]+)(?:::\\d+)?::INSTR$",
                                        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = tcp.match(name); m.hasMatch()) {
        bool ok = false;
        const uint port = m.captured(2).toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            *status = VI_ERROR_INV_RSRC_NAME;
            return nullptr;
        }
        return Visa::OpenTcpIo(m.captured(1), quint16(port), timeoutMs, status);
    }
    if (const auto m = usb.match(name); m.hasMatch()) {
        const auto number = [](const QString& t) {
            bool ok = false;
            return t.startsWith("0x", Qt::CaseInsensitive) ? t.mid(2).toUInt(&ok, 16) : t.toUInt(&ok, 10);
        };
        for (const Visa::UsbtmcDevice& d : Visa::UsbtmcDevices()) {
            const auto dm = usb.match(d.resource);
            if (dm.hasMatch() && number(dm.captured(1)) == number(m.captured(1)) &&
                number(dm.captured(2)) == number(m.captured(2)) && dm.captured(3) == m.captured(3))
                return Visa::OpenUsbtmcIo(d.devicePath, timeoutMs, status);
        }
        *status = VI_ERROR_RSRC_NFOUND;
        return nullptr;
    }
    *status = VI_ERROR_INV_RSRC_NAME;
    return nullptr;
}

}  // namespace

namespace Visa {

void SetDefaultTimeoutMs(int ms) { registry().timeoutOverride = ms > 0 ? ms : 0; }

int DefaultTimeoutMs() {
    if (registry().timeoutOverride > 0) return registry().timeoutOverride;
    bool ok = false;
    const int env = qEnvironmentVariable("KV2200_VISA_TIMEOUT_MS").trimmed().toInt(&ok);
    return ok && env > 0 ? env : kBuiltinTimeoutMs;
}

QList<Alias> Aliases() {
    QList<Alias> out;
    const QStringList pairs = qEnvironmentVariable("KV2200_VISA_ALIASES").split(';', Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const int eq = pair.indexOf('=');
        if (eq <= 0) continue;
        Alias a{pair.left(eq).trimmed(), pair.mid(eq + 1).trimmed()};
        if (!a.name.isEmpty() && !a.target.isEmpty()) out.append(a);
    }
    return out;
}

bool MatchesExpression(const QString& expr, const QString& name, bool* valid) {
    QString re;
    bool ok = !expr.isEmpty();
    for (int i = 0; ok && i < expr.size(); ++i) {
        const QChar c = expr[i];
        if (c == '?') {
            re += '.';
        } else if (c == '*' || c == '+') {
            ok = !re.isEmpty();
            re += c;
        } else if (c == '\\') {
            ok = i + 1 < expr.size();
            if (ok) re += QRegularExpression::escape(QString(expr[++i]));
        } else if (c == '[') {
            const int close = expr.indexOf(']', i + 1);
            ok = close > i + 1;
            if (!ok) break;
            QString set = expr.mid(i + 1, close - i - 1);
            const bool negate = set.startsWith('^');
            if (negate) set.remove(0, 1);
            QString body;
            for (QChar s : set) body += (s == '-') ? QString("-") : QRegularExpression::escape(QString(s));
            re += QString("[%1%2]").arg(negate ? "^" : "", body);
            i = close;
        } else if (c == '(' || c == ')' || c == '|') {
            re += c;
        } else {
            re += QRegularExpression::escape(QString(c));
        }
    }
    QRegularExpression rx;
    if (ok) {
        rx = QRegularExpression("^(?:" + re + ")$", QRegularExpression::CaseInsensitiveOption);
        ok = rx.isValid();
    }
    if (valid) *valid = ok;
    return ok && rx.match(name).hasMatch();
}

}  // namespace Visa

ViStatus viOpenDefaultRM(ViSession* rm) {
    if (!rm) return VI_ERROR_SYSTEM_ERROR;
    VisaObject o;
    o.kind = VisaObject::ResourceManager;
    *rm = registry().add(std::move(o));
    return VI_SUCCESS;
}

ViStatus viFindRsrc(ViSession rm, const char* expr, ViFindList* list, ViUInt32* count, ViChar* desc) {
    if (list) *list = VI_NULL;
    if (count) *count = 0;
    copyDescription(desc, QString());
    if (!registry().find(rm, VisaObject::ResourceManager)) return VI_ERROR_INV_OBJECT;
    const QString expression = nameFrom(expr);
    bool valid = false;
    Visa::MatchesExpression(expression, QString(), &valid);
    if (!valid) return VI_ERROR_INV_EXPR;

    // Aliases first, in the order given, then the USBTMC instruments.
    QStringList names;
    const auto addName = [&](const QString& n) {
        if (!names.contains(n, Qt::CaseInsensitive) && Visa::MatchesExpression(expression, n)) names.append(n);
    };
    for (const Visa::Alias& a : Visa::Aliases()) addName(a.name);
    for (const Visa::UsbtmcDevice& d : Visa::UsbtmcDevices()) addName(d.resource);
    if (names.isEmpty()) return VI_ERROR_RSRC_NFOUND;

    if (count) *count = ViUInt32(names.size());
    copyDescription(desc, names.first());
    VisaObject o;
    o.kind = VisaObject::FindList;
    o.owner = rm;
    o.matches = names;
    o.next = 1;
    const ViObject h = registry().add(std::move(o));
    if (list) *list = h;
    return VI_SUCCESS;
}

ViStatus viFindNext(ViFindList list, ViChar* desc) {
    VisaObject* o = registry().find(list, VisaObject::FindList);
    if (!o) return VI_ERROR_INV_OBJECT;
    if (o->next >= o->matches.size()) {
        copyDescription(desc, QString());
        return VI_ERROR_RSRC_NFOUND;
    }
    copyDescription(desc, o->matches.at(o->next++));
    return VI_SUCCESS;
}

ViStatus viOpen(ViSession rm, const char* name, ViUInt32, ViUInt32, ViSession* vi) {
    if (vi) *vi = VI_NULL;
    if (!registry().find(rm, VisaObject::ResourceManager)) return VI_ERROR_INV_OBJECT;
    QString resource = nameFrom(name);
    for (const Visa::Alias& a : Visa::Aliases())
        if (a.name.compare(resource, Qt::CaseInsensitive) == 0) {
            resource = a.target;
            break;
        }
    const int timeoutMs = Visa::DefaultTimeoutMs();
    ViStatus status = VI_ERROR_RSRC_NFOUND;
    std::unique_ptr<Visa::InstrumentIo> io = openTarget(resource, timeoutMs, &status);
    if (!io) return status < VI_SUCCESS ? status : VI_ERROR_RSRC_NFOUND;
    VisaObject o;
    o.kind = VisaObject::Instrument;
    o.owner = rm;
    o.io = std::move(io);
    o.timeoutMs = timeoutMs;
    const ViObject h = registry().add(std::move(o));
    if (vi) *vi = h;
    return VI_SUCCESS;
}

ViStatus viWrite(ViSession vi, const ViByte* buf, ViUInt32 count, ViUInt32* retCount) {
    if (retCount) *retCount = 0;
    VisaObject* o = registry().find(vi, VisaObject::Instrument);
    if (!o) return VI_ERROR_INV_OBJECT;
    if (count > 0 && !buf) return VI_ERROR_SYSTEM_ERROR;
    size_t written = 0;
    const ViStatus st = o->io->Write(buf, count, &written, o->timeoutMs);
    if (retCount) *retCount = ViUInt32(written);
    return st;
}

ViStatus viRead(ViSession vi, ViByte* buf, ViUInt32 count, ViUInt32* retCount) {
    if (retCount) *retCount = 0;
    VisaObject* o = registry().find(vi, VisaObject::Instrument);
    if (!o) return VI_ERROR_INV_OBJECT;
    if (count == 0) return VI_SUCCESS_MAX_CNT;
    if (!buf) return VI_ERROR_SYSTEM_ERROR;
    size_t got = 0;
    const ViStatus st = o->io->Read(buf, count, &got, o->timeoutMs);
    if (retCount) *retCount = ViUInt32(got);
    return st;
}

ViStatus viScanf(ViSession vi, const char* format, ViByte* buf, ViUInt32 bufSize, ViUInt32* retCount) {
    if (retCount) *retCount = 0;
    VisaObject* o = registry().find(vi, VisaObject::Instrument);
    if (!o) return VI_ERROR_INV_OBJECT;
    if (!format || std::strcmp(format, "%t") != 0) return VI_ERROR_INV_FMT;
    if (bufSize > 0 && !buf) return VI_ERROR_SYSTEM_ERROR;
    // Read to the end of the message; keep what fits, drop the rest.
    ViUInt32 stored = 0;
    ViStatus st = VI_SUCCESS_MAX_CNT;
    uint8_t chunk[4096];
    while (st == VI_SUCCESS_MAX_CNT) {
        size_t got = 0;
        st = o->io->Read(chunk, sizeof chunk, &got, o->timeoutMs);
        const size_t keep = std::min<size_t>(got, bufSize - stored);
        if (keep > 0) std::memcpy(buf + stored, chunk, keep);
        stored += ViUInt32(keep);
    }
    if (retCount) *retCount = stored;
    return st;
}

ViStatus viFlush(ViSession vi, uint16_t mask) {
    VisaObject* o = registry().find(vi, VisaObject::Instrument);
    if (!o) return VI_ERROR_INV_OBJECT;
    if (mask & VI_READ_BUF_DISCARD) o->io->DiscardInput();
    return VI_SUCCESS;
}

ViStatus viClear(ViSession vi) {
    VisaObject* o = registry().find(vi, VisaObject::Instrument);
    if (!o) return VI_ERROR_INV_OBJECT;
    return o->io->ClearDevice(o->timeoutMs);
}

ViStatus viClose(ViObject obj) {
    auto& objects = registry().objects;
    auto it = objects.find(obj);
    if (it == objects.end()) return VI_ERROR_INV_OBJECT;
    if (it->second.kind == VisaObject::ResourceManager) {
        for (auto c = objects.begin(); c != objects.end();)
            c = c->second.owner == obj ? objects.erase(c) : std::next(c);
    }
    objects.erase(obj);
    return VI_SUCCESS;
}
