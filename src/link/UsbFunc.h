#pragma once
// The USB transport through the VISA layer.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

void OpenVisaRM();
void CloseVisaRM();
void OpenVisa();
void WriteVisa(const QString& command);
QString ReadVisa();
QString ReadVisaBlock(int32_t& count);
void ReadSystemDataVisa();
void ReadHardcopyChunk(int32_t& count, std::vector<uint8_t>& dest);
void GetHardcopyVisa(std::vector<uint8_t>& dest);
