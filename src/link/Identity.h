#pragma once
// Reading the instrument's identity reply ("*IDN?": maker, model, serial
// number, firmware version, comma-separated) and deciding whether to accept it.
#include <QString>

// The brand the application is built for. The second brand's instruments
// answer "HOKANE,KV2..." in place of "TARVO TECHNOLOGIES,...".
enum class InstrumentBrand { Main, Second };

constexpr InstrumentBrand BuildBrand() {
#if defined(KV_SECOND_BRAND) && KV_SECOND_BRAND
    return InstrumentBrand::Second;
#else
    return InstrumentBrand::Main;
#endif
}

// The maker text a brand's instruments put before the first comma.
QString BrandMaker(InstrumentBrand brand);

struct IdentityVerdict {
    bool makerMatches = false;  // the maker field is the brand's maker
    bool accepted = false;      // the connect goes on
    // Set only when the maker matches (identity values keep their old values otherwise):
    QString scopeModel;
    int bandwidthClass = 0;
    bool setsModelEU = false;   // the main brand derives ModelEU; the second keeps it
    int modelEU = 0;
};

// Judges an untrimmed identity reply for the given brand.
//   Main brand: maker "TARVO TECHNOLOGIES" exactly; model = second field (the
//   maker again when the reply has no second comma); accepted only when the
//   model ends in "E" or "U"; bandwidth class from the model's characters 4-5.
//   Second brand: maker "HOKANE"; any model is accepted, bandwidth class 2.
IdentityVerdict CheckIdentity(const QString& reply, InstrumentBrand brand);

// Bandwidth class 0 to 5 from characters 4 and 5 of the model, read as a
// decimal number (empty or non-numeric reads as 0).
int BandwidthClassOf(const QString& model);

// True when the 26th character of the untrimmed identity reply is "C".
bool IdentityMarksColor(const QString& reply);
