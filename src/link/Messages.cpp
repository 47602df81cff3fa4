#include "link/Messages.h"

namespace {
// Every entry once, in one place: member, English text, Chinese text.
struct Entry {
    QString MessageTableData::*member;
    const char* english;
    const char* chinese;
};

const Entry kEntries[] = {
    {&MessageTableData::MsgDeviceNotFound, "Device not found!", "设备未找到!"},
    {&MessageTableData::MsgTitleConnect, "Connect to Oscilloscope", "连接示波器"},
    {&MessageTableData::MsgSysInfoUnavailable, "System Information Is Unavailable At This Time!",
     "该时刻系统信息不可得到！"},
    {&MessageTableData::MsgConnectFirst, "Please Connect Oscilloscope First!", "请首先连接示波器！"},
    {&MessageTableData::MsgQueryOnly, "This Item Query Only!", "该项仅可被查询！"},
    {&MessageTableData::MsgNumberOnly, "Enter number only!", "只可输入数字！"},
    {&MessageTableData::MsgVoltsOnly, "Enter volts only, such as 2.5V or 500mV!", "只可输入电压值，例如 2.5V 或 500mV！"},
    {&MessageTableData::MsgVoltDivRange, "Volt/Div must lie between %1 and %2 with this probe!",
     "此探头下档位须在 %1 至 %2 之间！"},
    {&MessageTableData::MsgRootNameFixed, "Name of Root Can't Change!", "根目录名称不可被修改！"},
    {&MessageTableData::MsgInvalidZoom, "Invalid Zoom Factor!", "无效缩放因子！"},
    {&MessageTableData::MsgBadSheetFile, "Data Sheet File Format is Invaild !", "数据文件格式无效！"},
    {&MessageTableData::MsgTooManyFiles, "Exceed maximum file numbers limit!", "超过最大可创建文件数目上限！"},
    {&MessageTableData::MsgOpenSheetFirst, "Please Open or Creat a Data Sheet First!",
     "请首先打开或创建一个数据浏览器"},
    {&MessageTableData::MsgBadFileFormat, "File Format is Invaild !", "文件格式无效！"},
    {&MessageTableData::MsgCtrlBadHeader, "Line 1 is not the header \"%1\".", "第 1 行不是文件头“%1”。"},
    {&MessageTableData::MsgCtrlShort,
     "The file ends before line %1: the value of %2 and all after it are missing.",
     "文件在第 %1 行之前结束：%2 及其后的值缺失。"},
    {&MessageTableData::MsgCtrlLong, "Line %1 holds a value after the last setting, %2.",
     "第 %1 行在最后一项设置（%2）之后仍有值。"},
    {&MessageTableData::MsgCtrlSharedLine,
     "Line %1 (%2) holds more than one value: a value with a comma must be written in double quotes.",
     "第 %1 行（%2）含有多个值：含逗号的值须写在双引号内。"},
    {&MessageTableData::MsgCtrlUnclosed, "Line %1 (%2): the value's closing double quote is missing.",
     "第 %1 行（%2）：值缺少结尾的双引号。"},
    {&MessageTableData::MsgCtrlBadValue,
     "Line %1 (%2) holds a character no setting may hold (a control character, an invisible mark, a double quote or \";\").",
     "第 %1 行（%2）含有设置不可含有的字符（控制字符、不可见字符、双引号或“;”）。"},
    {&MessageTableData::MsgCtrlTextAfterQuote, "Line %1 (%2) holds text after the value's closing double quote.",
     "第 %1 行（%2）在值结尾的双引号之后还有文字。"},
    {&MessageTableData::MsgUsbConnectFail, "Can't Connect to USB Device!", "不能连接USB设备！"},
    {&MessageTableData::MsgTitleUsbInit, "USB Init", "USB初始化"},
    {&MessageTableData::MsgTitleUsbSend, "USB Send Message", "USB传送信息"},
    {&MessageTableData::MsgTitleUsbRead, "USB Read Message", "USB读取信息"},
    {&MessageTableData::MsgUsbReadFail, "Can't Read data from USB Device!", "不能通过USB设备读取数据！"},
    {&MessageTableData::MsgLinkClosed,
     "The link to the oscilloscope was closed. To connect again, choose Tools > Connect to Oscilloscope.",
     "与示波器的连接已关闭。如需重新连接，请选择“工具 > 连接示波器”。"},
    {&MessageTableData::MsgInvalidNumeric, "Invalid Numeric!", "无效数值！"},
    {&MessageTableData::MsgFileFail, "File utility fail!", "文件操作失败！"},
    {&MessageTableData::MsgBadChannelData, "The channel's data is invalid!", "通道数据无效！"},
    {&MessageTableData::MsgFileFormatError, "The file format is error!", "文件格式错误！"},
    {&MessageTableData::MsgBadWaveData, "Invalid waveform data!", "无效波形数据！"},
    {&MessageTableData::MsgMeasuresUnread, "%1 of %2 measurements could not be read",
     "%2 项测量中有 %1 项无法读取"},
    {&MessageTableData::MsgTitleRs232Init, "RS232 Init", "RS232初始化"},
    {&MessageTableData::MsgBadPortNumber, "Invalid port number!", "无效端口数!"},
    {&MessageTableData::MsgPortDevice, "COM%1 (device %2) could not be opened.", "COM%1（设备 %2）无法打开。"},
    {&MessageTableData::MsgPortOutOfRange, "COM%1 is no port: the ports are COM1 to COM16.",
     "COM%1 不是端口：端口为 COM1 至 COM16。"},
    {&MessageTableData::MsgPortBadBaud,
     "COM%1 (device %2) was not opened: the baud rate \"%3\" is not a positive whole number.",
     "COM%1（设备 %2）未打开：波特率“%3”不是正整数。"},
    {&MessageTableData::MsgTitleRs232Send, "RS232 Send Message", "RS232发送信息"},
    {&MessageTableData::MsgRs232SendFail, "Can't Send data to RS232 Port!", "不能通过RS232端口发送数据！"},
    {&MessageTableData::MsgRs232ReadFail, "Can't Read data from RS232 Port!", "不能通过RS232端口读取数据！"},
    {&MessageTableData::MsgTitleRs232Read, "RS232 Read Message", "RS232读取信息"},
    {&MessageTableData::MsgSaveSheetChanges, "Save the changes to the Data Sheet File? ",
     "是否保存对数据浏览器文件的更改？"},
    {&MessageTableData::MsgSaveCtrlChanges, "Save the changes to the Control File? ",
     "是否保存对控制器文件的更改？"},
    {&MessageTableData::MsgTransferRunning, "A transfer is running. Please wait until it has finished!",
     "正在传输数据，请等待传输结束！"},
    {&MessageTableData::MsgOtherViewRefreshing,
     "The view \"%1\" refreshes continuously. Stop its refresh first (its Refresh button or F5).",
     "视图“%1”正在连续更新。请先停止它的更新（该视图的更新按钮或 F5）。"},
    {&MessageTableData::MsgUploadIncomplete,
     "Upload incomplete: the oscilloscope did not answer or the link was lost. Not all settings were sent.",
     "上传未完成：示波器无应答或连接已断开，部分设置未发送。"},
    {&MessageTableData::MsgDownloadIncomplete,
     "Download failed: the oscilloscope did not answer, gave an unusable reply, or the link was lost. The settings were not changed.",
     "下载失败：示波器无应答、应答无法使用或连接已断开，设置未被更改。"},
    {&MessageTableData::MsgReplyUnusable,
     "No usable reply from the oscilloscope: what depends on it was left unchanged.",
     "示波器未给出可用的应答：依赖该应答的值未被更改。"},
    {&MessageTableData::MsgLevelNotKnown, "not known", "未知"},
    {&MessageTableData::MsgDownloadUnreadable,
     "Download failed: the oscilloscope's reply to %1 could not be read: %2. The settings were not changed.",
     "下载失败：无法读取示波器对 %1 的应答：%2。设置未被更改。"},
    {&MessageTableData::MsgHelpNotInstalled, "The help file %1 is not installed.", "帮助文件 %1 未安装。"},
    {&MessageTableData::MsgHelpNoProgram, "No program could open the help file %1.",
     "没有可以打开帮助文件 %1 的程序。"},
    {&MessageTableData::MsgSettingsNotSaved, "The settings could not be saved to %1.", "设置无法保存到 %1。"},
    {&MessageTableData::MsgFileChangedWhileRead,
     "The file was changed by another program while it was read. Open it again once it is written.",
     "文件在读取时被其他程序改动。请在其写入完成后重新打开。"},
    {&MessageTableData::MsgTextDamaged,
     "The text on line %1 is damaged: its bytes are no text of the file's encoding.",
     "第 %1 行的文字已损坏：其字节不是文件编码的文字。"},
};

// The messages about a number of rows: member, English for one and for
// several, Chinese for one and for several (nullptr: as for several).
struct CountedEntry {
    CountedMessage MessageTableData::*member;
    const char* englishOne;
    const char* english;
    const char* chineseOne;
    const char* chinese;
};

const CountedEntry kCountedEntries[] = {
    {&MessageTableData::MsgCtrlLinesExtra,
     "The file has %1 lines where a controller file has %2. Line %3 (%4) is the first whose value does not fit its setting: the line too many is there or before it.",
     "The file has %1 lines where a controller file has %2. Line %3 (%4) is the first whose value does not fit its setting: the first of the lines too many is there or before it.",
     "文件有 %1 行，而控制器文件应有 %2 行。第 %3 行（%4）是第一个值与其设置不符的行：多出的行就在此行或其之前。",
     "文件有 %1 行，而控制器文件应有 %2 行。第 %3 行（%4）是第一个值与其设置不符的行：多出的第一行就在此行或其之前。"},
    {&MessageTableData::MsgCtrlLinesMissing,
     "The file has %1 lines where a controller file has %2. Line %3 (%4) is the first whose value does not fit its setting: the missing line is there or before it.",
     "The file has %1 lines where a controller file has %2. Line %3 (%4) is the first whose value does not fit its setting: the first of the missing lines is there or before it.",
     "文件有 %1 行，而控制器文件应有 %2 行。第 %3 行（%4）是第一个值与其设置不符的行：缺失的行就在此行或其之前。",
     "文件有 %1 行，而控制器文件应有 %2 行。第 %3 行（%4）是第一个值与其设置不符的行：缺失的第一行就在此行或其之前。"},
    {&MessageTableData::MsgReplyLevelsNotKnown,
     "No usable reply from the oscilloscope. Where its trigger level stands is now not known for this setting, and it will not be uploaded until a download reads it or a level is chosen:\n%1\nAny other value that depends on the reply was left unchanged.",
     "No usable reply from the oscilloscope. Where its trigger levels stand is now not known for these settings, and they will not be uploaded until a download reads them or their levels are chosen:\n%1\nAny other value that depends on the reply was left unchanged.",
     nullptr,
     "示波器未给出可用的应答。以下设置的触发电平在示波器上的位置现在未知，在下载重新读取或重新选择电平之前不会被上传：\n%1\n依赖该应答的其他值未被更改。"},
    {&MessageTableData::MsgUploadLevelsNotKnown,
     "Upload incomplete: where the oscilloscope's trigger level stands is not known for this setting (its reply after a change of source, channel or method did not come or could not be read). It was not sent, so the oscilloscope keeps its level. Download reads it again, or choose the level:\n%1",
     "Upload incomplete: where the oscilloscope's trigger levels stand is not known for these settings (its reply after a change of source, channel or method did not come or could not be read). They were not sent, so the oscilloscope keeps its levels. Download reads them again, or choose the levels:\n%1",
     "上传未完成：以下设置的触发电平在示波器上的位置未知（更改信源、通道或触发方式后其应答未到或无法读取）。它未被发送，示波器保持其电平。下载可重新读取，或重新选择电平：\n%1",
     "上传未完成：以下设置的触发电平在示波器上的位置未知（更改信源、通道或触发方式后其应答未到或无法读取）。它们未被发送，示波器保持其电平。下载可重新读取，或重新选择电平：\n%1"},
    {&MessageTableData::MsgCtrlLevelsNotKnown,
     "The file holds this trigger level as not known. It is kept as it is and will not be uploaded until a download or a chosen level replaces it:\n%1",
     "The file holds these trigger levels as not known. They are kept as they are and will not be uploaded until a download or a chosen level replaces them:\n%1",
     "文件中以下触发电平标记为未知。它保持原样，在下载或重新选择电平之前不会被上传：\n%1",
     "文件中以下触发电平标记为未知。它们保持原样，在下载或重新选择电平之前不会被上传：\n%1"},
    {&MessageTableData::MsgUploadFileLevelsNotKnown,
     "Upload incomplete: the file holds this trigger level as not known. It was not sent, so the oscilloscope keeps its level. Download reads it again, or choose the level:\n%1",
     "Upload incomplete: the file holds these trigger levels as not known. They were not sent, so the oscilloscope keeps its levels. Download reads them again, or choose the levels:\n%1",
     "上传未完成：文件中以下触发电平标记为未知。它未被发送，示波器保持其电平。下载可重新读取，或重新选择电平：\n%1",
     "上传未完成：文件中以下触发电平标记为未知。它们未被发送，示波器保持其电平。下载可重新读取，或重新选择电平：\n%1"},
    {&MessageTableData::MsgUploadLevelsUnanswered,
     "Upload incomplete: the oscilloscope's replies this trigger level is computed from did not come or could not be read. It was not sent, so the oscilloscope keeps its level:\n%1",
     "Upload incomplete: the oscilloscope's replies these trigger levels are computed from did not come or could not be read. They were not sent, so the oscilloscope keeps its levels:\n%1",
     "上传未完成：计算以下触发电平所需的示波器应答未到或无法读取。它未被发送，示波器保持其电平：\n%1",
     "上传未完成：计算以下触发电平所需的示波器应答未到或无法读取。它们未被发送，示波器保持其电平：\n%1"},
    {&MessageTableData::MsgCtrlValuesUnknown,
     "This setting of the file holds a value that is none of its choices, or no number with the setting's unit. It is kept as it is and will not be uploaded:\n%1",
     "These settings of the file hold values that are none of their choices, or no number with the setting's unit. They are kept as they are and will not be uploaded:\n%1",
     "文件中以下设置的值不是其可选值之一，或不是带该设置单位的数值。该值保持原样，不会被上传：\n%1",
     "文件中以下设置的值不是其可选值之一，或不是带该设置单位的数值。这些值保持原样，不会被上传：\n%1"},
    {&MessageTableData::MsgUploadUnknownValues,
     "Upload incomplete: this setting holds a value that is none of its choices, or no number with the setting's unit, and was not sent:\n%1",
     "Upload incomplete: these settings hold values that are none of their choices, or no number with the setting's unit, and were not sent:\n%1",
     nullptr,
     "上传未完成：以下设置的值不是其可选值之一，或不是带该设置单位的数值，未被发送：\n%1"},
};
}  // namespace

// Every member of the table has exactly one line above.
static_assert(sizeof(kEntries) / sizeof(Entry) * sizeof(QString) +
                      sizeof(kCountedEntries) / sizeof(CountedEntry) * sizeof(CountedMessage) ==
                  sizeof(MessageTableData),
              "message table and entry lists differ");

QString CountedMessage::Naming(const QStringList& rows) const {
    return For(rows.size()).arg(rows.join(QLatin1Char('\n')));
}

bool MessageTableData::operator==(const MessageTableData& o) const {
    for (const Entry& e : kEntries)
        if (this->*e.member != o.*e.member) return false;
    for (const CountedEntry& e : kCountedEntries)
        if (this->*e.member != o.*e.member) return false;
    return true;
}

MessageTableData& MessageTable() {
    static MessageTableData table;
    return table;
}

QString ReadRefusalText(const ReadRefusal& refusal, const QString& formatMessage) {
    switch (refusal.kind) {
    case ReadRefusal::None: return QString();
    case ReadRefusal::Unreadable: return refusal.detail.isEmpty() ? formatMessage : refusal.detail;
    case ReadRefusal::Changed: return MessageTable().MsgFileChangedWhileRead;
    case ReadRefusal::NotTheFormat: break;
    }
    return refusal.detail.isEmpty() ? formatMessage : formatMessage + QLatin1Char('\n') + refusal.detail;
}

QString LinkDroppedText(const QString& text) { return text + QLatin1Char('\n') + MessageTable().MsgLinkClosed; }

MessageTableData MessagesFor(LanguageId language) {
    const bool chinese = language == LangChinese;
    MessageTableData t;
    for (const Entry& e : kEntries) t.*e.member = QString::fromUtf8(chinese ? e.chinese : e.english);
    for (const CountedEntry& e : kCountedEntries) {
        CountedMessage& m = t.*e.member;
        m.several = QString::fromUtf8(chinese ? e.chinese : e.english);
        const char* one = chinese ? e.chineseOne : e.englishOne;
        m.one = one ? QString::fromUtf8(one) : m.several;
    }
    return t;
}

void LoadMessages(int language) {
    if (language != LangChinese && language != LangEnglish) return;
    MessageTable() = MessagesFor(static_cast<LanguageId>(language));
}
