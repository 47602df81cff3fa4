#include "sheets/DataTable.h"


#include "common/SaveFile.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "platform/dialogs/MsgBox.h"

namespace {
// The rows the record can show: PointCount, never beyond its arrays.
int tableRows(const DataInfo& d) {
    const qsizetype stored = std::min(d.TimeTexts.size(), d.VoltTexts.size()) - 1;
    return int(std::max<qsizetype>(0, std::min<qsizetype>(d.PointCount, stored)));
}
}  // namespace

DataTableModel::DataTableModel(std::function<const DataInfo*()> record, QObject* parent)
    : QAbstractTableModel(parent), record_(std::move(record)) {}

void DataTableModel::ShowEmpty() {
    beginResetModel();
    empty_ = true;
    rows_ = EmptyRows;
    endResetModel();
}

void DataTableModel::ShowData() {
    beginResetModel();
    empty_ = false;
    const DataInfo* d = record_ ? record_() : nullptr;
    rows_ = d ? tableRows(*d) : 0;
    endResetModel();
}

int DataTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DataTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant DataTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) return {};
    const int i = index.row() + 1;
    if (index.column() == 0) return QString::number(i);
    if (empty_) return QString();
    const DataInfo* d = record_ ? record_() : nullptr;
    if (!d || i > tableRows(*d)) return QString();
    return index.column() == 1 ? d->TimeTexts[i] : d->VoltTexts[i];
}

QVariant DataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
        return headers_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool DataTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                   int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= 3 ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    headers_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

namespace {
// Appends a text as UTF-8; plain ASCII (the usual number texts) byte by byte.
void appendUtf8(QByteArray& out, const QString& text) {
    const ushort* c = text.utf16();
    const qsizetype n = text.size();
    const qsizetype at = out.size();
    out.resize(at + n);
    char* d = out.data() + at;
    ushort seen = 0;
    for (qsizetype i = 0; i < n; ++i) {
        seen |= c[i];
        d[i] = char(c[i]);
    }
    if (seen >= 0x80) {
        out.truncate(at);
        out += text.toUtf8();
    }
}

// " i " as the formatted print of a positive whole number writes it.
void appendRowNumber(QByteArray& out, int i) {
    char buf[16];
    int k = sizeof buf;
    buf[--k] = ' ';
    do {
        buf[--k] = char('0' + i % 10);
        i /= 10;
    } while (i > 0);
    buf[--k] = ' ';
    out.append(buf + k, qsizetype(sizeof buf) - k);
}
}  // namespace

QByteArray DataExportText(const DataInfo& table, const QString& makerName) {
    const int rows = tableRows(table);
    QByteArray out;
    out.reserve(128 + table.Title.size() * 3 + qsizetype(rows) * 32);
    appendUtf8(out, makerName);
    out += " -[Data]\r\n\r\n\r\n\r\n";
    appendUtf8(out, table.Title);
    out += "\r\n\r\n\r\nNO.\tTime\tVoltage\r\n\r\n";
    for (int i = 1; i <= rows; ++i) {
        appendRowNumber(out, i);
        out += '\t';
        appendUtf8(out, table.TimeTexts[i]);
        out += '\t';
        appendUtf8(out, table.VoltTexts[i]);
        out += "\r\n";
    }
    return out;
}

bool ExportDataText(const QString& path, int slot) {
    if (!SlotInRange(ViewData, slot)) return false;
    QString error;
    const QByteArray bytes = DataExportText(Sheets().DataViews[size_t(slot)], Shell().MakerName);
    if (!SaveFileWhole(path, bytes, &error)) {
        MsgBox(error, vbCritical);
        return false;
    }
    return true;
}

QString ExportDialogTitle(int lang) {
    return lang == LangChinese ? QString::fromUtf8("导出文件") : QStringLiteral("Export File");
}

QString ExportDialogFilter(int lang) {
    const QString prefix = lang == LangChinese ? QString::fromUtf8("微软Excel表格文件 ")
                                               : QStringLiteral("Microsoft Excel Files ");
    return prefix + QStringLiteral("(*.xls)|*.xls|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
}
