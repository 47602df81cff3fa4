// Every caption of a window shows whole at the window's designed size, in
// both UI languages: the texts of labels, buttons, check and option boxes,
// the titles of frames (and nothing of theirs laid over a title), the heads
// of list columns and the cells of a list (every column in view without
// scrolling sideways), measured with the fonts the tests run with.
#include <QtTest>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <functional>
#include <vector>

#include "TestEnv.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "controller/CtrlList.h"
#include "link/MeasureCatalog.h"
#include "panel/frmV_Key.h"
#include "panel/frmV_Panel.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindow.h"
#include "sheets/ViewWindows.h"
#include "sheets/frmData.h"
#include "shell/AppMain.h"
#include "shell/Language.h"
#include "widgets/StandardIcons.h"

namespace {

// A blank that a narrow widget clips at the end of its caption shows nothing.
QString Visible(const QString& text) {
    QString t = text;
    while (!t.isEmpty() && t.back().isSpace()) t.chop(1);
    return t;
}

QString Name(const QWidget* w) {
    return QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
}

// One caption that does not fit: what, the text, what it needs, what it has.
QString Cut(const QString& what, const QString& text, const QSize& need, const QSize& room) {
    return QStringLiteral("%1 \"%2\": needs %3 x %4, has %5 x %6")
        .arg(what, text)
        .arg(need.width())
        .arg(need.height())
        .arg(room.width())
        .arg(room.height());
}

void CheckRoom(QStringList& cuts, const QString& what, const QString& text, const QSize& need,
               const QRect& room) {
    if (need.width() > room.width() || need.height() > room.height()) cuts << Cut(what, text, need, room.size());
}

void CheckLabel(QStringList& cuts, QLabel* l) {
    if (l->text().isEmpty() || Qt::mightBeRichText(l->text())) return;
    const QFontMetrics fm = l->fontMetrics();
    int indent = l->indent();
    if (indent < 0) indent = l->frameWidth() > 0 ? fm.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    const int m = l->margin();
    const QRect room = l->contentsRect().adjusted(m + indent, m, -m, -m);
    const int flags = (l->buddy() ? Qt::TextShowMnemonic : 0) | (l->wordWrap() ? Qt::TextWordWrap : 0);
    const QSize need = l->wordWrap() ? fm.boundingRect(room, flags, l->text()).size()
                                     : fm.size(flags, Visible(l->text()));
    CheckRoom(cuts, Name(l), l->text(), need, room);
}

// The room the style gives a button's text (its icon left of it).
QRect ButtonTextRoom(QAbstractButton* b) {
    QStyle* s = b->style();
    const bool icon = !b->icon().isNull();
    const int iconRoom = icon ? b->icon().actualSize(b->iconSize()).width() + 4 : 0;
    if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) {
        QStyleOptionButton o;
        o.initFrom(b);
        o.text = b->text();
        o.icon = b->icon();
        o.iconSize = b->iconSize();
        const auto e = qobject_cast<QCheckBox*>(b) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
        return s->subElementRect(e, &o, b).adjusted(iconRoom, 0, 0, 0);
    }
    if (auto* t = qobject_cast<QToolButton*>(b)) {
        const int fw = s->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
        QRect r = b->rect().adjusted(fw, fw, -fw, -fw);
        if (icon && t->toolButtonStyle() == Qt::ToolButtonTextBesideIcon) r.setLeft(r.left() + iconRoom);
        return r;
    }
    QStyleOptionButton o;
    o.initFrom(b);
    o.text = b->text();
    return s->subElementRect(QStyle::SE_PushButtonContents, &o, b).adjusted(iconRoom / 2, 0, -iconRoom / 2, 0);
}

// What a button draws of its caption: a button may leave out the blanks
// that only pad it (the waveform view's flat buttons do), which drawing it
// both ways tells.
QString DrawnText(QAbstractButton* b) {
    const QString text = b->text();
    const QString bare = text.trimmed();
    if (bare == text) return text;
    const QImage asSet = b->grab().toImage();
    b->setText(bare);
    const bool leftOut = b->grab().toImage() == asSet;
    b->setText(text);
    return leftOut ? bare : text;
}

void CheckButton(QStringList& cuts, QAbstractButton* b) {
    if (b->text().isEmpty()) return;
    if (auto* t = qobject_cast<QToolButton*>(b))
        if (t->toolButtonStyle() == Qt::ToolButtonIconOnly && !t->icon().isNull()) return;
    const QString text = DrawnText(b);
    CheckRoom(cuts, Name(b), text, b->fontMetrics().size(Qt::TextShowMnemonic, Visible(text)), ButtonTextRoom(b));
}

// A frame's title inside the frame, and none of its controls over the title.
void CheckFrame(QStringList& cuts, QGroupBox* g) {
    if (g->title().isEmpty()) return;
    QStyleOptionGroupBox o;
    o.initFrom(g);
    o.text = g->title();
    o.lineWidth = 1;
    o.textAlignment = g->alignment();
    o.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title = g->style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, g);
    const QSize need = g->fontMetrics().size(Qt::TextShowMnemonic, Visible(g->title()));
    CheckRoom(cuts, Name(g), g->title(), need, title.intersected(g->rect()));
    for (QWidget* c : g->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!c->isHidden() && c->geometry().intersects(title))
            cuts << QStringLiteral("%1 lies over the title of %2").arg(Name(c), Name(g));
}

void CheckHeader(QStringList& cuts, QHeaderView* h) {
    if (h->isHidden() || !h->model()) return;
    for (int i = 0; i < h->count(); ++i) {
        if (h->isSectionHidden(i)) continue;
        const QString text = h->model()->headerData(i, h->orientation()).toString();
        if (text.isEmpty()) continue;
        QStyleOptionHeader o;
        o.initFrom(h);
        o.rect = QRect(0, 0, h->sectionSize(i), h->height());
        o.section = i;
        o.text = text;
        o.orientation = h->orientation();
        const QRect room = h->style()->subElementRect(QStyle::SE_HeaderLabel, &o, h);
        CheckRoom(cuts, QStringLiteral("%1 column %2").arg(Name(h)).arg(i + 1), text,
                  h->fontMetrics().size(0, Visible(text)), room);
    }
}

// The cells of a list's shown rows: each column as wide as its widest cell.
template <typename View>
void CheckCells(QStringList& cuts, View* v) {
    if (!v->model() || v->model()->rowCount() == 0) return;
    for (int c = 0; c < v->model()->columnCount(); ++c) {
        if (v->isColumnHidden(c)) continue;
        const int need = static_cast<QAbstractItemView*>(v)->sizeHintForColumn(c);
        if (need > v->columnWidth(c))
            cuts << QStringLiteral("%1 cells of column %2: need %3, have %4")
                        .arg(Name(v))
                        .arg(c + 1)
                        .arg(need)
                        .arg(v->columnWidth(c));
    }
    // Every column in view, none behind the sideways scroll bar.
    int across = 0;
    for (int c = 0; c < v->model()->columnCount(); ++c)
        if (!v->isColumnHidden(c)) across += v->columnWidth(c);
    if (across > v->viewport()->width())
        cuts << QStringLiteral("%1: its columns need %2 across, it shows %3")
                    .arg(Name(v))
                    .arg(across)
                    .arg(v->viewport()->width());
}

QStringList CutCaptions(QWidget* window) {
    QStringList cuts;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (auto* l = qobject_cast<QLabel*>(w)) CheckLabel(cuts, l);
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) CheckButton(cuts, b);
        else if (auto* g = qobject_cast<QGroupBox*>(w)) CheckFrame(cuts, g);
        else if (auto* h = qobject_cast<QHeaderView*>(w)) CheckHeader(cuts, h);
        else if (auto* t = qobject_cast<QTreeView*>(w)) CheckCells(cuts, t);
        else if (auto* t = qobject_cast<QTableView*>(w)) CheckCells(cuts, t);
    }
    return cuts;
}

// A view window of the open sheet in slot 0, its set-up tick run.
QWidget* ViewWindowOf(ViewKind kind, const std::function<void()>& fill = {}) {
    ResetViewRecord(kind, 0);
    if (fill) fill();
    ViewCount(kind) = 1;
    QWidget* w = ViewForm(kind, 0);
    if (auto* v = qobject_cast<ViewWindow*>(w)) {
        v->Timer1->stop();
        v->Timer1_Timer();
    }
    if (auto* d = qobject_cast<frmData*>(w)) d->TableView();
    return w;
}

void ForgetViewWindow(ViewKind kind) {
    if (QWidget* w = ExistingViewForm(kind, 0)) {
        SetViewForm(kind, 0, nullptr);
        ViewWindowOpen(kind, 0) = false;
        delete w;
    }
    ViewCount(kind) = 0;
}

// A Measure view in slot 0 as a fetch leaves it, with the widest texts its
// list can show: every value below its enabled lower limit, so every row
// holds a value, both limits and the longest verdict.
void FetchedLookingMeasures() {
    MeasureInfo& m = Sheets().MeasureViews[0];
    m.HasData = true;
    for (int k = 0; k < MeasureItemCount; ++k) {
        MeasureItem& it = m.Items[size_t(k)];
        const UnitFamily family = MeasureOfItem(k).family;
        it.Value = FormatFamilyLimit(family, -888.8e-3).Text;
        it.Under = -555.5e-3;
        it.Over = 555.5e-3;
        it.Enable = true;
    }
}

// The controller pane at the width the main window gives its docked panes.
constexpr int DockPaneWidth = 3000 / 15;

struct Kind {
    const char* name;
    std::function<QWidget*()> make;  // the window at its designed size
    std::function<void(QWidget*)> forget;
};

const std::vector<Kind>& Kinds() {
    auto view = [](const char* name, ViewKind kind) {
        return Kind{name, [kind] { return ViewWindowOf(kind); }, [kind](QWidget*) { ForgetViewWindow(kind); }};
    };
    static const std::vector<Kind> kinds = {
        view("waveform", ViewWave),
        view("data", ViewData),
        view("measurement", ViewMeasure),
        {"measurement with values",
         [] { return ViewWindowOf(ViewMeasure, FetchedLookingMeasures); },
         [](QWidget*) { ForgetViewWindow(ViewMeasure); }},
        view("memory-wave", ViewMemoryWave),
        view("record", ViewRecord),
        {"panel", [] { return static_cast<QWidget*>(new frmV_Panel); }, [](QWidget* w) { delete w; }},
        {"key pad", [] { return static_cast<QWidget*>(new frmV_Key); }, [](QWidget* w) { delete w; }},
        {"controller",
         [] {
             QWidget* w = CtrlListForm();
             w->resize(DockPaneWidth, w->sizeHint().height());
             return w;
         },
         [](QWidget*) {}},
    };
    return kinds;
}

}  // namespace

class CaptionElisionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setStyle(new IconCachingStyle);
        TestEnv::Init();
        InstallApplicationParts();
        RegisterDataViewWindow();
        InstallViewCaptionSetters();
    }
    void cleanupTestCase() { SwitchLanguage(LangEnglish); }

    void captionsShowWholeAtTheDesignedSize_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("lang");
        for (size_t k = 0; k < Kinds().size(); ++k)
            for (int lang : {LangChinese, LangEnglish})
                QTest::addRow("%s %s", Kinds()[k].name, lang == LangChinese ? "Chinese" : "English")
                    << int(k) << lang;
    }
    void captionsShowWholeAtTheDesignedSize() {
        QFETCH(int, kind);
        QFETCH(int, lang);
        const Kind& k = Kinds()[size_t(kind)];
        SwitchLanguage(lang);
        QWidget* w = k.make();
        QVERIFY(w);
        const QSize designed = w->size();
        // The switch captions the open views and the panes; the dialogs took
        // the language when they were made.
        SwitchLanguage(lang);
        w->setAttribute(Qt::WA_DontShowOnScreen);
        w->show();
        w->resize(designed);
        QCoreApplication::sendPostedEvents();
        if (w->layout()) w->layout()->activate();
        const QStringList cuts = CutCaptions(w);
        k.forget(w);
        QVERIFY2(cuts.isEmpty(), qPrintable(cuts.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(CaptionElisionTest)
#include "tst_caption_elision.moc"
