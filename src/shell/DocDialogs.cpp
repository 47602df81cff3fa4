#include "shell/DocDialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/ShellState.h"
#include "shell/Language.h"
#include "shell/OptionsLogic.h"
#include "shell/ShellIcons.h"

DocKindDialog::DocKindDialog(const QString& name, const QString& title, const QStringList& options,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(title);
    setModal(true);
    Frame1 = new QGroupBox("File Type");
    Frame1->setObjectName("Frame1");
    auto* grid = new QVBoxLayout(Frame1);
    for (int i = 0; i < options.size(); ++i) {
        auto* row = new QHBoxLayout;
        auto* pic = new QLabel;
        pic->setObjectName(QString("Image%1").arg(i + 1));
        pic->setPixmap(DocKindIcon(i + 1).pixmap(16, 16));
        auto* opt = new QRadioButton(options[i]);
        opt->setObjectName(QString("NewOption(%1)").arg(i));
        NewOption.append(opt);
        row->addWidget(pic);
        row->addWidget(opt, 1);
        grid->addLayout(row);
    }
    NewOption.first()->setChecked(true);

    cmdOK = new QPushButton("OK");
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton("Cancel");
    cmdCancel->setObjectName("cmdCancel");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    auto* lay = new QHBoxLayout(this);
    lay->addWidget(Frame1, 1);
    lay->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void DocKindDialog::cmdOK_Click() {
    for (int i = 0; i < NewOption.size(); ++i) {
        if (NewOption[i]->isChecked()) {
            ShellDialogs().NewDocKind = i + 1;
            break;
        }
    }
    ShellDialogs().DialogOK = true;
    accept();
}

void DocKindDialog::cmdCancel_Click() { reject(); }

frmNewDoc::frmNewDoc(QWidget* parent)
    : DocKindDialog("frmNewDoc", "New Document",
                    {"Data Sheet", "Controller", "Wave", "Measure", "Wave Data", "Record", "Memory Wave"}, parent) {
    SetNewDocCaptions(this, Shell().UILanguage);
}

frmOpenDoc::frmOpenDoc(QWidget* parent)
    : DocKindDialog("frmOpenDoc", "Open Document", {"Data Sheet", "Controller"}, parent) {
    ShellDialogs().DialogOK = false;
    SetOpenDocCaptions(this, Shell().UILanguage);
}
