#pragma once
// Link state of the instrument link: the module-level flags, the identity
// taken at connect, the shared reply buffers, and the hooks through which the
// link reaches the main window without depending on it.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "common/SystemData.h"

struct LinkStateData {
    bool IsConnected = false;
    // The instrument has the 16-channel logic analyser (written False at every
    // connect; it decides the LA group of the controller tree; every saved
    // Wave view stores it).
    bool LAPresent = false;
    bool Connecting = false;
    bool LinkOpen = false;
    bool CommandSent = false;
    bool SerialBinaryMode = false;
    bool WaitingReply = false;
    // The reply of the last query or binary read did not come whole (time-out,
    // cut, over-long, link lost, or the gate closed). Cleared by QueryCmd.
    bool ReplyFailed = false;

    // Whether each reply read answers the request just sent (KV2200Cmd.h,
    // "in step"). Out of step after a reply that did not come whole or came
    // but was no answer to its question, until the command layer has put it
    // back; written only there (and by the transports through NoteReplyLost).
    bool OutOfStep = false;
    // The identity query of a re-synchronisation went out and its reply has
    // not been read yet: the next attempt waits for it rather than asking again.
    bool ResyncAsked = false;
    // Identity queries of this re-synchronisation whose answers may still
    // come (one asked again after a wait that met silence may have been
    // late, not lost): when one comes, the others are read off before the
    // link counts as in step.
    int IdentitiesOwed = 0;
    // The last request did not go out (the link could not be put back in
    // step): the reads of its reply fail without reading.
    bool RequestWithheld = false;
    // The instrument's reply to "*IDN?" at connect, without its line feed:
    // the known answer a re-synchronisation reads up to.
    QString Identity;

    // Identity taken at connect.
    QString ScopeModel;
    int ModelEU = 0;
    int BandwidthClass = 0;
    int SampleCodeMin = 25;

    // Bytes of one ":WAVEFORM:DATA?" reply: byte k of the reply in element k + 1.
    std::array<int32_t, 8193> WaveSamples{};
    // The system-data record read last (120-byte buffer, 116-byte record).
    std::array<uint8_t, 120> SystemDataBuf{};
};

LinkStateData& Link();

// What the link needs of the main window, set by the main window when it
// loads. Unset hooks do nothing.
struct LinkUiHooks {
    // Shows LedOnPicture and hides LedOffPicture (true), or the reverse.
    std::function<void(bool connected)> ShowConnectionLed;
    // Sets the status bar panel "Status" and arms the 2 s clearing timer.
    std::function<void(const QString& text)> ShowSerialStatus;
};

LinkUiHooks& LinkUi();

// Switches the connection indicator (one picture shown, the other hidden).
void SetConnectionLed(bool connected);
