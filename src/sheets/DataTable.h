#pragma once
// The table of a Data view: the list model that shows it and the text export.
#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

struct DataInfo;

// The table of one Data view as a list model with three columns (number,
// time, voltage). It reads the record through `record` every time, so a view
// that moved to another slot shows its own record. Empty mode shows 1000
// numbered rows with empty cells (a view that was never fetched); data mode
// shows rows 1 to PointCount of the record (entry 0 is never shown).
class DataTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int EmptyRows = 1000;

    explicit DataTableModel(std::function<const DataInfo*()> record, QObject* parent = nullptr);

    void ShowEmpty();  // 1000 numbered empty rows
    void ShowData();   // the record's table

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

private:
    std::function<const DataInfo*()> record_;
    bool empty_ = true;
    int rows_ = EmptyRows;
    QStringList headers_{"NO.", "Time[S]", "Voltage[V]"};
};

// The export file of a table: the maker line, the settings line (title), the
// column heads and one line per point 1..PointCount ("NO." written as " i "),
// every line ending in CR LF, UTF-8. Entry 0 is never written.
QByteArray DataExportText(const DataInfo& table, const QString& makerName);

// Writes the Data view of a slot to a file, whole or not at all. On failure
// shows the system's description with the critical icon and returns false.
bool ExportDataText(const QString& path, int slot);

// The export dialog's title and filter in a UI language (0 Chinese, 1 English).
QString ExportDialogTitle(int lang);
QString ExportDialogFilter(int lang);
