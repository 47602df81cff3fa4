#include "memwave/frmOpenWaveform.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "sheets/ViewWindows.h"

frmOpenWaveform::frmOpenWaveform(QWidget* parent)
    : PlaceholderViewWindow(ViewMemoryWave, "frmOpenWaveform", parent) {
    auto* scales = new QHBoxLayout;
    auto addScale = [&](QLineEdit*& box, QToolButton*& dec, QToolButton*& inc, QLabel*& label,
                        const char* boxName, const char* decName, const char* incName,
                        const char* labelName, const char* caption) {
        label = new QLabel(caption, this);
        label->setObjectName(labelName);
        box = new QLineEdit(this);
        box->setObjectName(boxName);
        box->setReadOnly(true);
        dec = new QToolButton(this);
        dec->setObjectName(decName);
        dec->setText("-");
        inc = new QToolButton(this);
        inc->setObjectName(incName);
        inc->setText("+");
        for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(box),
                           static_cast<QWidget*>(dec), static_cast<QWidget*>(inc)}) {
            w->setEnabled(false);  // nothing to scale before the view's content exists
            scales->addWidget(w);
        }
    };
    addScale(txtCH1Div, abtnCH1DivDec, abtnCH1DivInc, lblCH1, "txtCH1Div", "abtnCH1DivDec",
             "abtnCH1DivInc", "lblCH1", "CH1");
    addScale(txtCH2Div, abtnCH2DivDec, abtnCH2DivInc, lblCH2, "txtCH2Div", "abtnCH2DivDec",
             "abtnCH2DivInc", "lblCH2", "CH2");
    addScale(txtTimeDiv, abtnTimeDivDec, abtnTimeDivInc, Label4, "txtTimeDiv", "abtnTimeDivDec",
             "abtnTimeDivInc", "Label4", "Time/Div");
    Body->addLayout(scales);

    framAltTimeDiv = new QFrame(this);
    framAltTimeDiv->setObjectName("framAltTimeDiv");
    Body->addWidget(framAltTimeDiv);

    picRefreshProgress = new QFrame(this);
    picRefreshProgress->setObjectName("picRefreshProgress");
    picRefreshProgress->setAutoFillBackground(true);
    auto* indicator = new QHBoxLayout(picRefreshProgress);
    LblRefreshText = new QLabel(picRefreshProgress);
    LblRefreshText->setObjectName("LblRefreshText");
    LblRefreshValue = new QLabel(picRefreshProgress);
    LblRefreshValue->setObjectName("LblRefreshValue");
    indicator->addWidget(LblRefreshText);
    indicator->addWidget(LblRefreshValue);
    Body->addWidget(picRefreshProgress);
    Body->addStretch(1);
}

void frmOpenWaveform::PrepareNewView(int) {
    for (QWidget* c : std::initializer_list<QWidget*>{txtCH1Div, abtnCH1DivDec, abtnCH1DivInc, lblCH1, txtCH2Div,
                                                      abtnCH2DivDec, abtnCH2DivInc, lblCH2, txtTimeDiv,
                                                      abtnTimeDivDec, abtnTimeDivInc, Label4, framAltTimeDiv})
        c->setVisible(false);
    ColourProgress(true);
}

void frmOpenWaveform::ColourProgress(bool colour) {
    ColourRefreshIndicator(picRefreshProgress, LblRefreshText, LblRefreshValue, colour);
}

void RegisterMemoryWaveWindow() {
    SetViewFormFactory(ViewMemoryWave, [](int) -> QWidget* {
        auto* form = new frmOpenWaveform;
        form->Form_Load();
        return form;
    });
}
