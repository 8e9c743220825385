#ifndef MODELONLYCARD_H
#define MODELONLYCARD_H

#include "qv4000fp_genFC.h"

// A function card of a given model and nothing else: for the parts of the
// framework that read only the model code (the address entry dialog).
class ModelOnlyCard : public qv4000fp_genFC {
public:
    explicit ModelOnlyCard(int model) : qv4000fp_genFC(model) {}
    bool supportsModel(ViUInt16) const override { return false; }
    QString description() const override { return {}; }
    QString copyright() const override { return {}; }
    QString version() const override { return {}; }
    QString driverRevision() override { return {}; }
    QString errorMessage(ViStatus) override { return {}; }
    ViStatus initInstrument(const char*, ViUInt16*, ViUInt16, ViUInt16, ViSession*) override {
        return 0;
    }
    ViStatus initInstrumentAndKeep(const char*, ViUInt16*, ViInt16, ViUInt16, ViUInt16,
                                   ViSession*) override {
        return 0;
    }
    ViStatus reinitInstrument(ViSession*) override { return 0; }
    ViStatus closeInstrument(ViSession) override { return 0; }
    ViStatus resetInstrument(ViSession) override { return 0; }
};

#endif
