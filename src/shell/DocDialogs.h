#pragma once
// The New and Open document choosers. OK stores the chosen kind in
// ShellDialogs().NewDocKind and sets DialogOK; Cancel, Esc and the close box
// leave both as they were.
#include <QDialog>
#include <QList>

class QRadioButton;
class QPushButton;
class QGroupBox;

enum DocumentKind {
    DocDataSheet = 1, DocController = 2, DocWave = 3, DocMeasure = 4, DocData = 5,
    DocRecord = 6, DocMemoryWave = 7,
};

class DocKindDialog : public QDialog {
    Q_OBJECT
public:
    void cmdOK_Click();
    void cmdCancel_Click();

    QGroupBox* Frame1 = nullptr;
    QList<QRadioButton*> NewOption;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    DocKindDialog(const QString& name, const QString& title, const QStringList& options, QWidget* parent);
};

class frmNewDoc : public DocKindDialog {
    Q_OBJECT
public:
    explicit frmNewDoc(QWidget* parent = nullptr);
};

class frmOpenDoc : public DocKindDialog {
    Q_OBJECT
public:
    explicit frmOpenDoc(QWidget* parent = nullptr);
};
