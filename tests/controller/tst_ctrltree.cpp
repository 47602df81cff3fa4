// Controller tree: rows, positions, texts and paths for every trigger method
// with and without the logic analyser; the tree view binding (lookups that
// never dangle, rewrites, expansion kept across rebuilds and a language switch).
#include <QTreeWidget>
#include <array>
#include <QtTest>

#include "TestEnv.h"
#include "UseLanguage.h"
#include "common/ShellState.h"
#include "controller/CtrlList.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "controller/CtrlValueNames.h"
#include "link/LinkState.h"
#include "link/Vocabulary.h"
#include "shell/ControllerBinding.h"
#include "shell/Language.h"

namespace {

// The subtree below a node in pre-order: "text (group,item)", one ">" per
// level below the node.
void Flatten(const CtrlTreeModel& m, int index, int depth, QStringList& out) {
    for (int c : m.Children(index)) {
        const CtrlNodeData& n = m.nodes[size_t(c)];
        out << QString(depth, '>') + QString("%1 (%2,%3)").arg(n.Text()).arg(n.group).arg(n.item);
        Flatten(m, c, depth + 1, out);
    }
}

QStringList Subtree(const CtrlTreeModel& m, int group, int item) {
    QStringList out;
    Flatten(m, m.Find(group, item), 0, out);
    return out;
}

QStringList CodeRows(const char* first, const char* last) {
    QStringList rows;
    for (int k = 1; k <= 16; ++k)
        rows << QString(">D%1 [%2] (21,%3)").arg(16 - k).arg(k == 1 ? first : k == 16 ? last : "H").arg(4 + k);
    return rows;
}

}  // namespace

class CtrlTreeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        TestEnv::Init();
        UseLanguage(1);
    }

    void init() {
        UseLanguage(1);
        DSOSettings() = CtrlSettings();
        SetDefaultCtrlSettings();
    }

    // Messages name a value as the tree shows it, in either language; the
    // method or alternation type joins the name where the same labels lead to
    // another value in another method.
    void valueNamesFollowTheTree_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("channel row") << "CH1Scale" << "CH1 ▸ Volt/Div" << "CH1 ▸ 档位";
        QTest::newRow("edge source") << "TriggerEdgeSource" << "Trigger ▸ EDGE ▸ Source"
                                     << "触发系统 ▸ 边沿触发 ▸ 信源选择";
        QTest::newRow("a row of one method only") << "TriggerPulseWidth" << "Trigger ▸ Pulse width"
                                                  << "触发系统 ▸ 脉冲宽度";
        QTest::newRow("a row of every method") << "TriggerHoldoff" << "Trigger ▸ Holdoff" << "触发系统 ▸ 触发释抑";
        QTest::newRow("time base format") << "TimeBaseFormat" << "Time Base ▸ Format" << "水平系统 ▸ 模式";
        QTest::newRow("alternation time base") << "AltCH2TimeBaseOffset" << "Time Base ▸ CH2 ▸ Delay"
                                               << "水平系统 ▸ CH2 ▸ 位移";
        QTest::newRow("alternation row of one type") << "AltCH1EdgeSlope" << "Trigger ▸ CH1 ▸ Slope"
                                                     << "触发系统 ▸ CH1 ▸ 边沿类型";
        QTest::newRow("alternation row of several types")
            << "AltCH2PulseLevel" << "Trigger ▸ CH2 ▸ PULSE ▸ Level" << "触发系统 ▸ CH2 ▸ 脉宽触发 ▸ 触发电平";
        QTest::newRow("alternation type") << "AltCH1TrigType" << "Trigger ▸ CH1 ▸ Trig type"
                                          << "触发系统 ▸ CH1 ▸ 触发类型";
        QTest::newRow("LA array element") << "LAChannelPosition(3)" << "LA ▸ Position ▸ D13"
                                          << "LA ▸ 位置 ▸ D13";
        QTest::newRow("code element") << "TriggerDurationCode(16)" << "Trigger ▸ DURATION ▸ Code ▸ D0"
                                      << "触发系统 ▸ 持续时间触发 ▸ 码型 ▸ D0";
        QTest::newRow("averages") << "AcquireAverages" << "Acquire ▸ Averages" << "采样系统 ▸ 平均次数";
        QTest::newRow("no row: invert") << "CH2Invert" << "CH2 ▸ Invert" << "CH2 ▸ 反相";
        QTest::newRow("no row: math") << "MathDisplay" << "Math ▸ Display" << "数学运算 ▸ 显示";
        QTest::newRow("no row: spare") << "PatternSpare" << "Trigger ▸ PATTERN ▸ Spare"
                                       << "触发系统 ▸ 码型触发 ▸ 备用";
    }
    void valueNamesFollowTheTree() {
        QFETCH(QString, field);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        const int number = CtrlSettingsNames().indexOf(field) + 1;
        QVERIFY(number > 0);
        QCOMPARE(CtrlValueName(number, LangEnglish), english);
        QCOMPARE(CtrlValueName(number, LangChinese), chinese);
        UseLanguage(LangChinese);
        QCOMPARE(CtrlValueName(number), chinese);
        UseLanguage(LangEnglish);
        QCOMPARE(CtrlValueName(number), english);
    }

    // Every value has a name of its own in each language.
    void everyValueHasItsOwnName() {
        for (int language : {int(LangChinese), int(LangEnglish)}) {
            QSet<QString> seen;
            for (int n = 1; n <= CtrlValueCount; ++n) {
                const QString name = CtrlValueName(n, language);
                QVERIFY2(!name.isEmpty() && !seen.contains(name), qPrintable(QString::number(n) + ": " + name));
                seen.insert(name);
            }
        }
        QCOMPARE(CtrlValueName(0, LangEnglish), QString());
        QCOMPARE(CtrlValueName(CtrlValueCount + 1, LangEnglish), QString());
    }

    void triggerAndTimeBasePerMethod_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("changes");  // "field=value" for the few fields that matter
        QTest::addColumn<QStringList>("trigger");
        QTest::addColumn<QStringList>("timeBase");
        const QStringList plainTimeBase{"Time/Div [10.00us] (5,15)", "Delay [0.0000s] (5,16)",
                                        "Format [Y-T] (5,18)"};
        QTest::newRow("EDGE: Slope before Source")
            << "EDGE" << QStringList{}
            << QStringList{"Method [EDGE] (6,2)", "Slope [RISING] (6,4)", "Source [CH1] (6,3)",
                           "Mode [AUTO] (6,5)", "Coupling [DC] (6,6)", "Level [0.00div] (6,7)",
                           "Sensitivity [0.10div] (6,8)", "Holdoff [100ns] (6,9)"}
            << plainTimeBase;
        QTest::newRow("EDGE with a digital source drops coupling, level, sensitivity")
            << "EDGE" << QStringList{"edge=D3"}
            << QStringList{"Method [EDGE] (6,2)", "Slope [RISING] (6,4)", "Source [D3] (6,3)",
                           "Mode [AUTO] (6,5)", "Holdoff [100ns] (6,9)"}
            << plainTimeBase;
        QTest::newRow("EDGE with a lower-case d keeps them")
            << "EDGE" << QStringList{"edge=d3"}
            << QStringList{"Method [EDGE] (6,2)", "Slope [RISING] (6,4)", "Source [d3] (6,3)",
                           "Mode [AUTO] (6,5)", "Coupling [DC] (6,6)", "Level [0.00div] (6,7)",
                           "Sensitivity [0.10div] (6,8)", "Holdoff [100ns] (6,9)"}
            << plainTimeBase;
        QTest::newRow("PULSE: only its own source counts")
            << "PULSE" << QStringList{"edge=D3"}
            << QStringList{"Method [PULSE] (6,2)", "Source [CH1] (6,3)", "Pulse mode [+Less Than] (6,4)",
                           "Pulse width [1us] (6,5)", "Mode [AUTO] (6,7)", "Coupling [DC] (6,6)",
                           "Level [0.00div] (6,8)", "Sensitivity [0.10div] (6,9)", "Holdoff [100ns] (6,10)"}
            << plainTimeBase;
        QTest::newRow("PULSE with a digital source")
            << "PULSE" << QStringList{"pulse=D0"}
            << QStringList{"Method [PULSE] (6,2)", "Source [D0] (6,3)", "Pulse mode [+Less Than] (6,4)",
                           "Pulse width [1us] (6,5)", "Mode [AUTO] (6,7)", "Holdoff [100ns] (6,10)"}
            << plainTimeBase;
        QTest::newRow("VIDEO: no Mode, no Coupling; a D source keeps Level")
            << "VIDEO" << QStringList{"video=D1"}
            << QStringList{"Method [VIDEO] (6,2)", "Source [D1] (6,3)", "Polarity [POSITIVE] (6,4)",
                           "Sync [LINE] (6,5)", "Line number [1] (6,6)", "Video Standard [NTSC] (6,7)",
                           "Level [0.00div] (6,8)", "Sensitivity [0.10div] (6,9)", "Holdoff [100ns] (6,10)"}
            << plainTimeBase;
        QTest::newRow("SLOPE: Mode (6,8) before Coupling (6,7)")
            << "SLOPE" << QStringList{}
            << QStringList{"Method [SLOPE] (6,2)", "Source [CH1] (6,3)", "Slope mode [+Less Than] (6,4)",
                           "Slope time [1us] (6,5)", "Mode [AUTO] (6,8)", "Coupling [DC] (6,7)",
                           "LevelA [0.00div] (6,9)", "LevelB [0.20div] (6,10)",
                           "Sensitivity [0.10div] (6,11)", "Holdoff [100ns] (6,12)"}
            << plainTimeBase;
        const QStringList altTimeBase{"CH1 (5,13)", ">Time/Div [10.00us] (13,15)", ">Delay [0.0000s] (13,16)",
                                      "CH2 (5,14)", ">Time/Div [10.00us] (14,15)", ">Delay [0.0000s] (14,16)"};
        QTest::newRow("ALTERNATIVE: EDGE and VIDEO")
            << "ALTERNATIVE" << QStringList{"alt1=EDGE", "alt2=VIDEO"}
            << QStringList{"Method [ALTERNATIVE] (6,2)", "CH1 (6,19)",
                           ">Trig type [EDGE] (19,5)", ">Slope [RISING] (19,6)", ">Coupling [DC] (19,16)",
                           ">Level [0.00div] (19,17)", ">Sensitivity [0.10div] (19,20)", ">Holdoff [100ns] (19,21)",
                           "CH2 (6,20)", ">Trig type [VIDEO] (20,5)", ">Polarity [POSITIVE] (20,12)", ">Sync [LINE] (20,13)",
                           ">Line number [1] (20,14)", ">Video Standard [NTSC] (20,15)",
                           ">Level [0.00div] (20,17)", ">Sensitivity [0.10div] (20,20)", ">Holdoff [100ns] (20,21)"}
            << altTimeBase;
        QTest::newRow("ALTERNATIVE: PULSE, SLOPE, and a type that is no word")
            << "ALTERNATIVE" << QStringList{"alt1=PULSE", "alt2=SLOPE"}
            << QStringList{"Method [ALTERNATIVE] (6,2)", "CH1 (6,19)",
                           ">Trig type [PULSE] (19,5)", ">Pulse mode [+Less Than] (19,7)", ">Pulse width [1us] (19,8)",
                           ">Coupling [DC] (19,16)", ">Level [0.00div] (19,17)", ">Sensitivity [0.10div] (19,20)",
                           ">Holdoff [100ns] (19,21)",
                           "CH2 (6,20)", ">Trig type [SLOPE] (20,5)", ">Slope mode [+Less Than] (20,9)", ">Slope time [1us] (20,10)",
                           ">Coupling [DC] (20,16)", ">LevelA [0.00div] (20,18)", ">LevelB [0.00div] (20,19)",
                           ">Sensitivity [0.10div] (20,20)", ">Holdoff [100ns] (20,21)"}
            << altTimeBase;
        QTest::newRow("ALTERNATIVE: unknown type leaves Trig type alone")
            << "ALTERNATIVE" << QStringList{"alt1=edge"}
            << QStringList{"Method [ALTERNATIVE] (6,2)", "CH1 (6,19)", ">Trig type [edge] (19,5)",
                           "CH2 (6,20)", ">Trig type [EDGE] (20,5)", ">Slope [RISING] (20,6)", ">Coupling [DC] (20,16)",
                           ">Level [0.00div] (20,17)", ">Sensitivity [0.10div] (20,20)", ">Holdoff [100ns] (20,21)"}
            << altTimeBase;
        QTest::newRow("PATTERN: codes from the pattern array, D15 first")
            << "PATTERN" << QStringList{"pattern1=L", "pattern16=Rising", "duration1=X"}
            << QStringList{"Method [PATTERN] (6,2)", "Code (6,21)"} + CodeRows("L", "Rising") +
                   QStringList{"Mode [AUTO] (6,22)", "Holdoff [100ns] (6,23)"}
            << plainTimeBase;
        QTest::newRow("DURATION: codes from the duration array")
            << "DURATION" << QStringList{"pattern1=L", "duration1=X", "duration16=L"}
            << QStringList{"Method [DURATION] (6,2)", "Code (6,21)"} + CodeRows("X", "L") +
                   QStringList{"Qualifier [Less Than] (6,22)", "Duration time [1us] (6,23)",
                               "Mode [AUTO] (6,24)", "Holdoff [100ns] (6,25)"}
            << plainTimeBase;
        QTest::newRow("a method text that is no method word")
            << "边沿触发" << QStringList{}
            << QStringList{"Method [边沿触发] (6,2)", "Source [] (6,3)"} << plainTimeBase;
    }

    void triggerAndTimeBasePerMethod() {
        QFETCH(QString, method);
        QFETCH(QStringList, changes);
        QFETCH(QStringList, trigger);
        QFETCH(QStringList, timeBase);
        CtrlSettings& s = DSOSettings();
        s.TriggerMethod = method;
        for (const QString& c : changes) {
            const QString name = c.section('=', 0, 0), value = c.section('=', 1);
            if (name == "edge") s.TriggerEdgeSource = value;
            else if (name == "pulse") s.TriggerPulseSource = value;
            else if (name == "video") s.TriggerVideoSource = value;
            else if (name == "alt1") s.AltCH1TrigType = value;
            else if (name == "alt2") s.AltCH2TrigType = value;
            else if (name.startsWith("pattern")) s.TriggerPatternCode[name.mid(7).toInt()] = value;
            else if (name.startsWith("duration")) s.TriggerDurationCode[name.mid(8).toInt()] = value;
        }
        for (bool la : {false, true}) {
            const CtrlTreeModel m = BuildCtrlTreeModel(s, la);
            QCOMPARE(Subtree(m, CtrlGroup::Trigger, 0), trigger);
            QCOMPARE(Subtree(m, CtrlGroup::TimeBase, 0), timeBase);
            // Top level: LA between CH2 and Time Base only with the analyser.
            QStringList top;
            for (int c : m.Children(0)) top << m.nodes[size_t(c)].Text();
            QStringList expected{"Running Control", "CH1", "CH2", "Time Base", "Trigger", "Acquire",
                                 "Display", "Virtual Panel"};
            if (la) expected.insert(3, "LA");
            QCOMPARE(top, expected);
            QCOMPARE(m.Find(CtrlGroup::LA, 0) >= 0, la);
            // Every position is unique and inside the table.
            QSet<int> seen;
            for (const CtrlNodeData& n : m.nodes) {
                if (n.group < 0) continue;
                QVERIFY(n.group < CtrlNodeTableSize && n.item < CtrlNodeTableSize && n.item != 1);
                QVERIFY2(!seen.contains(n.group * 32 + n.item), qPrintable(n.Text()));
                seen.insert(n.group * 32 + n.item);
            }
        }
    }

    void fixedGroupsAndLaSubtree() {
        CtrlSettings& s = DSOSettings();
        s.LAChannelDisplay[1] = "ON";
        s.LAChannelPosition[16] = "15";
        s.CH1Invert = "INVERTED";  // no row
        CtrlTreeModel m = BuildCtrlTreeModel(s, true);
        QCOMPARE(m.nodes[0].Text(), QString("KV2200M"));
        QCOMPARE(Subtree(m, CtrlGroup::RunningControl, 0),
                 (QStringList{"Run|Stop [RUN] (1,2)", "Auto Set (1,3)", "Set Trig to 50% (1,4)",
                              "Force Trigger (1,5)"}));
        QCOMPARE(Subtree(m, CtrlGroup::CH2, 0),
                 (QStringList{"Display [OFF] (3,2)", "Volt/Div [1.00V] (3,3)", "Offset [0.00mV] (3,4)",
                              "Coupling [AC] (3,5)", "BW Limit [OFF] (3,6)", "Probe [1X] (3,7)"}));
        QCOMPARE(Subtree(m, CtrlGroup::Acquire, 0),
                 (QStringList{"Acquisition [NORMAL] (7,2)", "Sampling Mode [REAL_TIME] (7,3)"}));
        QCOMPARE(Subtree(m, CtrlGroup::Display, 0),
                 (QStringList{"Type [VECTORS] (8,2)", "Persist [OFF] (8,3)", "Clear (8,4)", "Grid [FULL] (8,5)"}));
        const QStringList la = Subtree(m, CtrlGroup::LA, 0);
        QCOMPARE(la.size(), 38);
        QCOMPARE(la.mid(0, 4), (QStringList{"Display (4,9)", ">D15-D8 [OFF] (9,2)", ">D7-D0 [OFF] (9,3)",
                                            ">D15 [ON] (9,5)"}));
        QCOMPARE(la[18], QString(">D0 [OFF] (9,20)"));
        QCOMPARE(la.mid(19, 2), (QStringList{"Position (4,10)", ">D15 [0] (10,5)"}));
        QCOMPARE(la.mid(35), (QStringList{">D0 [15] (10,20)", "Threshold [TTL] (4,11)", "Reset (4,12)"}));
        QCOMPARE(m.Path(m.Find(CtrlGroup::LAPosition, 20)), QString("KV2200M\\LA\\Position\\D0 [15]"));

        s.AcquireType = ValueWord(vwAverage);
        m = BuildCtrlTreeModel(s, false);
        QCOMPARE(Subtree(m, CtrlGroup::Acquire, 0),
                 (QStringList{"Acquisition [AVERAGE] (7,2)", "Sampling Mode [REAL_TIME] (7,3)",
                              "Averages [16] (7,5)"}));
        QCOMPARE(m.nodes.back().Text(), QString("Virtual Panel"));
        QCOMPARE(m.Path(m.Find(CtrlGroup::Acquire, 5)), QString("KV2200M\\Acquire\\Averages [16]"));
    }

    // The picture of each kind of node: root 1, groups 2, rows and sub-groups
    // 3, actions 4, the panel 6, rows under a sub-group 8 (but the code rows 3).
    void imagesByKindOfNode() {
        CtrlSettings& s = DSOSettings();
        const QList<std::array<int, 3>> alternative = {
            {1, 0, 2}, {1, 2, 3}, {1, 3, 4}, {1, 5, 4}, {4, 0, 2}, {4, 9, 3}, {9, 2, 8}, {9, 5, 8},
            {4, 10, 3}, {10, 20, 8}, {4, 11, 3}, {4, 12, 4}, {5, 13, 3}, {13, 15, 8}, {14, 16, 8},
            {6, 2, 3}, {6, 19, 3}, {19, 5, 8}, {19, 6, 8}, {20, 21, 8}, {8, 4, 3}, {8, 5, 3}};
        const QList<std::array<int, 3>> pattern = {{5, 15, 3}, {6, 21, 3}, {21, 5, 3}, {21, 20, 3}, {6, 22, 3}};
        for (const QString& method : {QString("ALTERNATIVE"), QString("PATTERN")}) {
            s.TriggerMethod = method;
            const CtrlTreeModel m = BuildCtrlTreeModel(s, true);
            QCOMPARE(m.nodes.front().image, int(imgRoot));
            QCOMPARE(m.nodes.back().image, int(imgPanel));
            for (const auto& [group, item, image] : method == "PATTERN" ? pattern : alternative) {
                const int i = m.Find(group, item);
                QVERIFY2(i >= 0, qPrintable(QString("(%1,%2)").arg(group).arg(item)));
                QVERIFY2(m.nodes[size_t(i)].image == image, qPrintable(m.nodes[size_t(i)].Text()));
            }
        }
    }

    void viewFollowsModelAndLookupsNeverDangle() {
        Link().LAPresent = false;
        BuildCtrlTree();
        QTreeWidget* tree = CtrlTreeWidget();
        QVERIFY(tree);
        // The view holds the model's nodes with the same texts and paths.
        const CtrlTreeModel m = BuildCtrlTreeModel(DSOSettings(), false);
        for (size_t i = 1; i < m.nodes.size(); ++i) {
            const CtrlNodeData& n = m.nodes[i];
            if (n.group < 0) continue;
            QTreeWidgetItem* it = CtrlNode(n.group, n.item);
            QVERIFY(it);
            QCOMPARE(CtrlNodePath(it), m.Path(int(i)));
        }
        QVERIFY(CtrlRootNode()->isExpanded());
        QVERIFY(!CtrlNode(CtrlGroup::Trigger, 0)->isExpanded());

        // A rewrite keeps the row's own label.
        QVERIFY(SetCtrlNodeText(CtrlGroup::Trigger, 6, "AC"));
        QCOMPARE(CtrlNode(CtrlGroup::Trigger, 6)->text(0), QString("Coupling [AC]"));
        QCOMPARE(CtrlNodeLabel(CtrlGroup::Trigger, 6), QString("Coupling"));

        // After a rebuild for another method the old positions reach nothing.
        DSOSettings().TriggerMethod = "VIDEO";
        RebuildCtrlTree();
        QCOMPARE(CtrlNode(CtrlGroup::Trigger, 9)->text(0), QString("Sensitivity [0.10div]"));
        QVERIFY(!CtrlNode(CtrlGroup::Trigger, 11));
        QVERIFY(!SetCtrlNodeText(CtrlGroup::Trigger, 11, "x"));
        QVERIFY(!CtrlNode(CtrlGroup::LA, 0));
        QVERIFY(!CtrlNode(40, 0));
        QCOMPARE(CtrlNode(CtrlGroup::Trigger, 4)->text(0), QString("Polarity [POSITIVE]"));

        // The flag of the analyser rebuilds the tree.
        SetLAPresent(true);
        QVERIFY(CtrlNode(CtrlGroup::LADisplayGroup, 20));

        // A changed mirror value rewrites the rows that show it, wherever
        // the method put them; a value without a row rewrites nothing.
        CtrlSettings& s = DSOSettings();
        s.TriggerHoldoff = "200ns";
        s.LAChannelDisplay[1] = "ON";
        QCOMPARE(RefreshCtrlValueNodes(s.TriggerHoldoff), 1);
        QCOMPARE(RefreshCtrlValueNodes(s.LAChannelDisplay[1]), 1);
        QCOMPARE(RefreshCtrlValueNodes(s.CH1Invert), 0);
        QCOMPARE(RefreshCtrlValueNodes(s.TriggerEdgeSweep), 0);  // not shown in VIDEO
        QCOMPARE(CtrlNode(CtrlGroup::Trigger, 10)->text(0), QString("Holdoff [200ns]"));
        QCOMPARE(CtrlNode(CtrlGroup::LADisplayGroup, 5)->text(0), QString("D15 [ON]"));
        QCOMPARE(CtrlNode(CtrlGroup::LADisplayGroup, 6)->text(0), QString("D14 [OFF]"));
        SetLAPresent(false);
        QVERIFY(!CtrlNode(CtrlGroup::LADisplayGroup, 20));
    }

    void expansionKeptAcrossRebuildAndLanguageSwitch() {
        BindControllerCommands();
        ApplyLanguage(1);
        DSOSettings().TriggerMethod = "ALTERNATIVE";
        BuildCtrlTree();
        CtrlRootNode()->setExpanded(true);
        CtrlNode(CtrlGroup::Trigger, 0)->setExpanded(true);
        CtrlNode(CtrlGroup::Trigger, CtrlGroup::AltCH1Trigger)->setExpanded(true);
        CtrlNode(CtrlGroup::CH2, 0)->setExpanded(true);

        SwitchLanguage(0);
        QCOMPARE(CtrlRootNode()->text(0), QString("KV2200M"));
        QCOMPARE(CtrlNode(CtrlGroup::Trigger, 0)->text(0), QString("触发系统"));
        QCOMPARE(CtrlNode(CtrlGroup::Trigger, 2)->text(0), QString("触发模式 [交替触发]"));
        QCOMPARE(CtrlNode(CtrlGroup::AltCH1Trigger, 5)->text(0), QString("触发类型 [边沿触发]"));
        QCOMPARE(CtrlNode(CtrlGroup::Display, 0)->text(0), QString("显示系统"));
        QCOMPARE(CtrlNode(CtrlGroup::CH1, 2)->text(0), QString("显示 [打开]"));
        QVERIFY(CtrlNode(CtrlGroup::Trigger, 0)->isExpanded());
        QVERIFY(CtrlNode(CtrlGroup::Trigger, 19)->isExpanded());
        QVERIFY(!CtrlNode(CtrlGroup::Trigger, 20)->isExpanded());
        QVERIFY(CtrlNode(CtrlGroup::CH2, 0)->isExpanded());
        QVERIFY(!CtrlNode(CtrlGroup::CH1, 0)->isExpanded());

        // A collapsed root stays collapsed; Trigger\CH1's saved state comes
        // back when the method returns later.
        CtrlRootNode()->setExpanded(false);
        DSOSettings().TriggerMethod = ValueWord(vwEdge);
        RebuildCtrlTree();
        QVERIFY(!CtrlRootNode()->isExpanded());
        DSOSettings().TriggerMethod = ValueWord(vwAlternative);
        RebuildCtrlTree();
        QVERIFY(CtrlNode(CtrlGroup::Trigger, 19)->isExpanded());

        // Expand All opens the fixed groups only.
        CtrlNode(CtrlGroup::TimeBase, 13)->setExpanded(false);
        ExpandAllCtrlNodes();
        QVERIFY(CtrlRootNode()->isExpanded());
        QVERIFY(CtrlNode(CtrlGroup::TimeBase, 13)->isExpanded());
        QVERIFY(CtrlNode(CtrlGroup::Acquire, 0)->isExpanded());

        SwitchLanguage(1);
        QCOMPARE(CtrlNode(CtrlGroup::Trigger, 2)->text(0), QString("Method [ALTERNATIVE]"));
        QVERIFY(CtrlNode(CtrlGroup::Trigger, 0)->isExpanded());
    }
};

QTEST_MAIN(CtrlTreeTest)
#include "tst_ctrltree.moc"
