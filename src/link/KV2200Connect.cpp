// Connect, identify and disconnect.
#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "link/Converters.h"
#include "link/LinkEvents.h"
#include "link/Identity.h"
#include "link/CommandPort.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

QString BrandMaker(InstrumentBrand brand) {
    return brand == InstrumentBrand::Second ? QStringLiteral("HOKANE")
                                            : QStringLiteral("TARVO TECHNOLOGIES");
}

int BandwidthClassOf(const QString& model) {
    const QString pair = model.mid(3, 2);
    // The leading digits of the pair (blanks before them skipped), 0 when none.
    int i = 0;
    while (i < pair.size() && pair[i] == QLatin1Char(' ')) ++i;
    int value = 0;
    bool any = false;
    for (; i < pair.size() && pair[i].isDigit() && pair[i].unicode() < 128; ++i) {
        value = value * 10 + pair[i].digitValue();
        any = true;
    }
    if (!any) value = 0;
    switch (value) {
    case 2: return 0;
    case 4: return 1;
    case 6: return 2;
    case 10: return 3;
    case 15: return 3;
    case 20: return 4;
    default: return 5;
    }
}

IdentityVerdict CheckIdentity(const QString& reply, InstrumentBrand brand) {
    IdentityVerdict v;
    const int firstComma = reply.indexOf(QLatin1Char(','));
    const QString maker = firstComma < 0 ? QString() : reply.left(firstComma);
    if (maker != BrandMaker(brand)) return v;
    v.makerMatches = true;

    const QString rest = reply.mid(firstComma + 1);
    const int nextComma = rest.indexOf(QLatin1Char(','));
    v.scopeModel = nextComma < 0 ? maker : rest.left(nextComma);

    if (brand == InstrumentBrand::Second) {
        v.bandwidthClass = 2;
        v.accepted = true;
        return v;
    }
    v.setsModelEU = true;
    v.modelEU = (v.scopeModel.endsWith(QLatin1Char('E')) || v.scopeModel.endsWith(QLatin1Char('U'))) ? 1 : 0;
    v.bandwidthClass = BandwidthClassOf(v.scopeModel);
    v.accepted = v.modelEU == 1;
    return v;
}

bool IdentityMarksColor(const QString& reply) {
    return reply.size() >= 26 && reply.at(25) == QLatin1Char('C');
}

void ConnectDSO() {
    LinkStateData& link = Link();
    link.Connecting = true;
    link.LinkOpen = true;
    // No reply of the instrument tells of a logic analyser: every connect
    // starts without one.
    SetLinkLAPresent(false);

    SettleTransportChoice();
    CommandLink().Open();
    // Replies an earlier connection left on their way may still come on the
    // same line (the serial port is the same device).
    const bool staleMayCome = link.OutOfStep;
    ResetLinkStep();

    bool accepted = false;
    if (link.LinkOpen) {
        SendCmd(QStringLiteral(":KEY:LOCK ENABLE"));
        PauseMs(50);
        SendCmd(QStringLiteral(":WAVeform:POINts:MODE NORmal"));
        QString reply;
        if (staleMayCome) {
            // The identity is read past whatever else comes. Over the serial
            // line identity replies of earlier re-synchronisations may follow
            // it: they are drained for the reply time. A device clear has
            // already dropped them.
            const auto identity = [](const QString& r) { return CheckIdentity(r, BuildBrand()).makerMatches; };
            if (CommandLink().AwaitKnownReply(QStringLiteral("*IDN?"), identity, true, &reply) == KnownReply::Came &&
                !CommandLink().ClearsDevice())
                CommandLink().AwaitKnownReply(QString(), ReplyTest(), false);
        } else {
            reply = QueryCmd(QStringLiteral("*IDN?"));
        }
        const IdentityVerdict v = CheckIdentity(reply, BuildBrand());
        if (v.makerMatches) {
            link.ScopeModel = v.scopeModel;
            if (v.setsModelEU) link.ModelEU = v.modelEU;
            link.BandwidthClass = v.bandwidthClass;
        }
        if (v.accepted) {
            link.SampleCodeMin = 25;
            link.Identity = TrimReply(reply);
            accepted = true;
        } else {
            MsgBox(MessageTable().MsgDeviceNotFound, vbExclamation, MessageTable().MsgTitleConnect);
            // Whatever answered was sent the lock: give its front panel back.
            SendCmd(QStringLiteral(":KEY:LOCK DISABLE"));
        }
    }

    if (accepted) {
        SetConnectionLed(true);
        SetLinkConnected(true);
        DSOSettings().MathDisplay = OnOffToText(TrimReply(QueryCmd(QStringLiteral(":MATH:DISPLAY?"))));
    } else {
        SetConnectionLed(false);
        SetLinkConnected(false);
        DSOSettings().MathDisplay = ValueWord(vwOff);
    }
    link.Connecting = false;
}

void DisconnectDSO() {
    if (Link().IsConnected) SendCmd(QStringLiteral(":KEY:LOCK DISABLE"));
    SetConnectionLed(false);
    SetLinkConnected(false);
}

bool IsColorModel() {
    if (!Link().LinkOpen) return false;
    return IdentityMarksColor(QueryCmd(QStringLiteral("*IDN?")));
}
