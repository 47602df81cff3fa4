#pragma once
// The two UI languages, by their stored numbers.
enum LanguageId { LangChinese = 0, LangEnglish = 1 };
