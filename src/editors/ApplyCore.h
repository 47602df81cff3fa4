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

// Where a row's value goes: a mirror field and its node (label = index of
// ControllerLabels), and the keyword the row's header takes for "%1".
struct RowTarget {
    QString CtrlSettings::*field = nullptr;
    int group = 0, item = 0, label = 0;
    QString kw;
};

// One branch in table form. Steps, in order: [combo: store and node] [select
// command, pause] [input: number check, limit] command, pause, [read back
// into the field and node] [also]. `sendFirst` moves the store after the command.
struct Row {
    QList<int> key;                    // ControllerLabels indices
    bool input = false;                // value from the value box (else the choice list)
    RowTarget target;                  // fixed target ...
    std::function<RowTarget(const CtrlSettings&)> pick;  // ... or one chosen by the mirror
    QString select;                    // command sent before the value ("" = none)
    int selectPause = 0;
    QString header;                    // "%1" = target.kw; "" = no command
    std::function<QString(const QString& value, const QString& kw)> arg;  // choice value
    std::function<QString(double x)> numArg;                              // box value
    float limit = 1e20f;
    std::function<QString(double x)> storeNumber;  // box value stored before the command
    bool storeChoice = true;           // choice value stored (else only the read-back)
    bool sendFirst = false;
    int pause = 0;
    QString query;                     // "%1" = target.kw
    ReplyConverter back = nullptr;     // "" = the reply as it comes
    bool (*known)(const QString& reply) = nullptr;  // the replies `back` takes (else IsKnownReply)
    std::function<void(Applier&, const QString& value)> also;
    bool alsoAfterLost = false;        // `also` runs after a read-back that did not come too
    // A branch whose shape differs: runs in place of the steps above.
    std::function<ApplyEnd(Applier&)> custom;
};

class Applier {
public:
    explicit Applier(const CtrlDialogValues& v);
    const CtrlDialogValues& v;
    CtrlSettings s;
    QList<CtrlTreeOp> ops;

    // Node text rule: label, " [", value, "]".
    void node(int group, int item, int label, const QString& value);
    void nodeText(int group, int item, const QString& text);
    void rebuild();
    void select(int group, int item);
    // Number check and limit; false (message shown) when the box is not a number.
    bool number(double& x, float limit = 1e20f);
    ApplyEnd run(const Row& row);
};

// What one run (an apply, the coarse/fine OK, an immediate action) met, and
// reports at its end: a read-back that stored nothing, a level argument
// refused, level rows that became not known. Each run makes its own at its start; while it lives the helpers
// below note into it (a run started inside another is its own, and the
// outer one is current again at its end).
class ApplyRun {
public:
    ApplyRun();
    ~ApplyRun();
    ApplyRun(const ApplyRun&) = delete;
    ApplyRun& operator=(const ApplyRun&) = delete;
    bool unusableReadBack = false;
    bool refusedArgument = false;
    // The level rows of the mirror not known when the run began (or was
    // last reported).
    QList<int> levelsNotKnownBefore;

private:
    ApplyRun* outer_;
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
bool StoreReadBack(QString& field, const QString& reply, ReplyConverter conv, bool known);
// Whether `reply`, just queried, did not come; marks it as StoreReadBack does.
bool ReplyLost(const QString& reply);
// A reply that came but is not of its question's form: marked unusable, and
// the link is out of step.
void ReplyGarbled();
// (A check function in place of the verdict is a mistake: it would always pass.)
bool StoreReadBack(QString&, const QString&, ReplyConverter, bool (*)(const QString&)) = delete;
bool StoreReadBack(QString& field, const QString& reply, ReplyConverter conv);
// The base of `source` (as the mirror holds it) for a level of `trigger`
// (link/LevelBase: AskLevelBase, by the level rule). A scale or offset reply
// that did not come or is no number gives an Unknown base, marked for the
// report.
LevelBase ReadLevelBase(const QString& source, LevelTrigger trigger);
// One level row read on its base into `field` (`query` asks for its volts).
// A level that cannot be had (an unknown base, a reply that did not come,
// a cut or garbled one, a query the command layer did not send because the
// link could not be put back in step) leaves the row marked as not known
// (LevelNotKnownText), never at its old divisions, and is marked for the
// report. False when the row's own reply failed: the block's read-back ends
// there.
bool ReadLevelRow(const QString& query, const LevelBase& base, QString& field);
// A block's level rows (value numbers, in their order) read in turn on `base`
// into `s` by their catalog queries; after a row whose own reply failed the
// rest are marked as not known. False when one failed.
bool ReadLevelRows(CtrlSettings& s, const std::vector<int>& rows, const LevelBase& base);
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
QString LevelArgument(const QString& levelDiv, const QString& source);
// Whether the argument just made was refused; clears the mark.
bool TakeRefusedArgument();
// Marks a read-back of the current run that stored nothing (reported by
// ReportUnusableReadBack).
void NoteUnusableReadBack();
// The one message after a run whose replies could not all be used, shown
// once it is committed, and clears the mark: level rows that have become not
// known since the run began are named (MsgReplyLevelsNotKnown: not known,
// not uploaded until read or chosen); otherwise MsgReplyUnusable (what
// depends on the reply was left as it was). Nothing outside a run.
void ReportUnusableReadBack();

QString KeyOf(const QList<int>& labels);
QString Upper(const QString& value, const QString&);
// The number as the platform's general text, written with ".".
QString GeneralText(double x);

// Rows of each group of branches, in their order of testing.
void AddChannelRows(std::vector<Row>& rows);      // run state, channels, logic analyser
void AddTimeBaseRows(std::vector<Row>& rows);
void AddTriggerRows(std::vector<Row>& rows);      // method and common trigger settings
void AddMethodRows(std::vector<Row>& rows);       // settings of one method
void AddCodeRows(std::vector<Row>& rows);         // pattern and duration code bits
void AddAlternationRows(std::vector<Row>& rows);
void AddAcquireRows(std::vector<Row>& rows);      // acquire and display

void GetTimeBaseParameter(Applier& a);
