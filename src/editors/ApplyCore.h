#pragma once
// Internals of the apply: the staging context and the row form in which
// most branches are given. One source per group of branches adds its rows.
#include <QList>
#include <QString>
#include <functional>
#include <vector>

#include "editors/CtrlApply.h"
#include "link/Converters.h"
#include "link/LevelBase.h"

class Applier;
class ApplyRun;
struct SettingDesc;

// The argument a choice is sent with: made of the chosen value text and its
// setting's entry.
using RowArgument = std::function<QString(Applier&, const QString& value, const SettingDesc& d)>;

// One branch in table form: the setting it writes, whose entry in the
// settings catalog gives the command, the tree row and label, the keyword
// converter, the read-back query and its converter, and the branch's own
// steps. Steps, in order: [combo: store and node] [select command, pause]
// [input: number check, limit] the entry's command, pause, [read back into the
// value and its node] [also]. `sendFirst` moves the store after the command.
struct Row {
    QList<int> key;                    // ControllerLabels indices: the entry's (EditKeyLabels)
    int setting = 0;                   // value number of its setting ...
    // ... or, where the mirror chooses among the setting's kin (the trigger
    // method, an alternation channel's type), the one it writes now (0: none).
    std::function<int(const CtrlSettings&)> pick;
    // The tree item of a row that moves with the method (Holdoff; the
    // entry's treeItem 0); unset: the entry's.
    std::function<int(const CtrlSettings&)> item;
    bool input = false;                // value from the value box (else the choice list)
    QString select;                    // command sent before the value ("" = none)
    int selectPause = 0;
    RowArgument arg;                   // choice: unset, the entry's keyword converter (none: the value)
    std::function<QString(double x)> numArg;  // box value
    float limit = 1e20f;
    std::function<QString(double x)> storeNumber;  // box value stored before the command
    bool storeChoice = true;           // choice value stored (else only the read-back)
    bool sendFirst = false;
    int pause = 0;
    bool readBack = false;             // the entry's query, through its reply converter ...
    ReplyConverter back = nullptr;     // ... or through this one
    bool (*known)(const QString& reply) = nullptr;  // the replies the converter takes (else IsKnownReply)
    std::function<void(Applier&, const QString& value)> also;
    bool alsoAfterLost = false;        // `also` runs after a read-back that did not come too
    // A branch whose shape differs: runs in place of the steps above.
    std::function<ApplyEnd(Applier&)> custom;
};

// The row of value `number`: its setting and its key (the entry's).
Row SettingRow(int number);
Row SettingRow(QString CtrlSettings::*field);

class Applier {
public:
    Applier(const CtrlDialogValues& v, ApplyRun& run);
    const CtrlDialogValues& v;
    ApplyRun& run;
    CtrlSettings s;
    QList<CtrlTreeOp> ops;

    // Node text rule: label, " [", value, "]".
    void node(int group, int item, int label, const QString& value);
    void nodeText(int group, int item, const QString& text);
    // The row of value `number` (its entry's place) shows its staged value.
    void show(int number);
    void rebuild();
    void select(int group, int item);
    // Number check and limit; false (message shown) when the box is not a number.
    bool number(double& x, float limit = 1e20f);
    ApplyEnd apply(const Row& row);
};

// What one run (an apply, the coarse/fine OK, an immediate action) met, and
// reports at its end: a read-back that stored nothing, a level argument
// refused, level rows that became not known. Each run makes its own at its
// start and hands it to the helpers below, which note into it.
class ApplyRun {
public:
    ApplyRun();
    ApplyRun(const ApplyRun&) = delete;
    ApplyRun& operator=(const ApplyRun&) = delete;
    bool unusableReadBack = false;
    bool refusedArgument = false;
    // The level rows of the mirror not known when the run began (or was
    // last reported).
    QList<int> levelsNotKnownBefore;
};

// A read-back into `field`: the reply (cut at its line feed) through `conv`,
// called right after the reply's query. An empty reply that came stores what
// conv makes of it; a reply that did not come (time-out, cut, late: the
// transport's ReplyFailed), or one that is not one conv knows (`known`
// false: an unknown word, a number that does not parse; the link is then
// out of step, NoteReplyGarbled), stores nothing and marks the read-back
// unusable, which the run reports at its end. Returns whether the field was
// written. After a reply that did not come or made no sense the command
// layer puts the link back in step before the next query, or asks nothing.
bool StoreReadBack(ApplyRun& run, QString& field, const QString& reply, ReplyConverter conv, bool known);
// Whether `reply`, just queried, did not come; marks it as StoreReadBack does.
bool ReplyLost(ApplyRun& run, const QString& reply);
// A reply that came but is not of its question's form: marked unusable, and
// the link is out of step.
void ReplyGarbled(ApplyRun& run);
// (A check function in place of the verdict is a mistake: it would always pass.)
bool StoreReadBack(ApplyRun&, QString&, const QString&, ReplyConverter, bool (*)(const QString&)) = delete;
bool StoreReadBack(ApplyRun& run, QString& field, const QString& reply, ReplyConverter conv);
// The base of `source` (as the mirror holds it) for a level of `trigger`
// (link/LevelBase: AskLevelBase, by the level rule). A scale or offset reply
// that did not come or is no number gives an Unknown base, marked for the
// report.
LevelBase ReadLevelBase(ApplyRun& run, const QString& source, LevelTrigger trigger);
// One level row read on its base into `field` (`query` asks for its volts).
// A level that cannot be had (an unknown base, a reply that did not come,
// a cut or garbled one, a query the command layer did not send because the
// link could not be put back in step) leaves the row marked as not known
// (LevelNotKnownText), never at its old divisions, and is marked for the
// report. False when the row's own reply failed: the block's read-back ends
// there.
bool ReadLevelRow(ApplyRun& run, const QString& query, const LevelBase& base, QString& field);
// A block's level rows (value numbers, in their order) read in turn on `base`
// into `s` by their catalog queries; after a row whose own reply failed the
// rest are marked as not known. False when one failed.
bool ReadLevelRows(ApplyRun& run, CtrlSettings& s, const std::vector<int>& rows, const LevelBase& base);
void MarkLevelNotKnown(QString& field);
// The level rows (value numbers, in their order) of the trigger method of
// `s` (EDGE, PULSE, VIDEO, SLOPE; none under another), and of alternation
// channel `ch`'s (1 or 2) trigger type.
std::vector<int> MethodLevelRows(const CtrlSettings& s);
std::vector<int> AltLevelRows(const CtrlSettings& s, int ch);
// After an apply that changed channel `ch`'s (1 or 2) scale or offset: every
// level row whose source is that channel is read back as the download reads
// it, so that it shows where the instrument's level now is and an upload
// leaves it there. Under the trigger methods, the current method's level rows
// when the instrument names the channel as the method's source; under the
// alternation, the rows of the channel's trigger type. A reply that did not
// come or makes no sense stores nothing and is marked (ReportUnusableReadBack).
// Called right after the channel's offset read-back: when that reply did not
// come (Link().ReplyFailed), nothing more is asked.
void ReadBackChannelLevels(Applier& a, int ch);
void ReadBackAltLevels(Applier& a, int ch);  // the alternation part of it
// Writes the staged mirror and tree writes of an apply.
void CommitApply(const Applier& a);
// The argument of a level command: the level in divisions in volts by the
// source's scale and offset (TriggerLevelVolts; `source` as the instrument
// reported it, or the alternation channel). A source, scale or offset reply
// that did not come or makes no sense refuses the level: the row then sends
// and stores nothing (TakeRefusedArgument), the apply ends Refused and says so.
QString LevelArgument(ApplyRun& run, const QString& levelDiv, const QString& source);
// Whether the argument just made was refused; clears the mark.
bool TakeRefusedArgument(ApplyRun& run);
// Marks a read-back of the run that stored nothing (reported by
// ReportUnusableReadBack).
void NoteUnusableReadBack(ApplyRun& run);
// The one message after a run whose replies could not all be used, shown
// once it is committed, and clears the mark: level rows that have become not
// known since the run began are named (MsgReplyLevelsNotKnown: not known,
// not uploaded until read or chosen); otherwise MsgReplyUnusable (what
// depends on the reply was left as it was).
void ReportUnusableReadBack(ApplyRun& run);

QString KeyOf(const QList<int>& labels);
// The number as the platform's general text, written with ".".
QString GeneralText(double x);

// Arguments of their own (RowArgument), where a row does not send the
// entry's keyword or the value itself:
// the value in upper case (a time base: "1.000US");
QString UpperArgument(Applier&, const QString& value, const SettingDesc&);
// the keyword in upper case (the video sync: "ODDFIELD");
QString UpperKeyword(Applier&, const QString& value, const SettingDesc& d);
// a probe's factor, its text without the "X" ("10X": "10");
QString ProbeArgument(const QString& probe);
// a trigger level in volts, by its entry's source: the method's source as
// the instrument reports it (its query asked now), or the alternation
// channel (LevelArgument).
QString LevelRowArgument(Applier& a, const QString& levelDiv, const SettingDesc& d);
// The command that selects alternation channel `ch` (1 or 2) before one of
// its settings is sent or asked for.
QString AltChannelSelect(int ch);

// Rows of each group of branches, in their order of testing.
void AddChannelRows(std::vector<Row>& rows);      // run state, channels, logic analyser
void AddTimeBaseRows(std::vector<Row>& rows);
void AddTriggerRows(std::vector<Row>& rows);      // method and common trigger settings
void AddMethodRows(std::vector<Row>& rows);       // settings of one method
void AddCodeRows(std::vector<Row>& rows);         // pattern and duration code bits
void AddAlternationRows(std::vector<Row>& rows);
void AddAcquireRows(std::vector<Row>& rows);      // acquire and display

// Read-backs the dialog offers (they write the given mirror; the callers
// rewrite or rebuild the tree): the trigger method's settings, and
// alternation channel `channel`'s settings of its trigger type.
bool GetTriggerMethod(ApplyRun& run, CtrlSettings& s);
void GetTriggerAltTrigType(ApplyRun& run, CtrlSettings& s, int channel);
