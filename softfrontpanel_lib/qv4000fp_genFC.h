#ifndef QV4000FP_GENFC_H
#define QV4000FP_GENFC_H

#include "visa.h"

#include <QString>

// What the framework knows of a function card: its model code, its texts and
// the driver entry points. The card layer supplies one implementation.
class qv4000fp_genFC {
public:
    explicit qv4000fp_genFC(int model) : m_model(model) {}
    virtual ~qv4000fp_genFC() = default;

    // Called from discovery worker threads: must not touch shared state.
    virtual bool supportsModel(ViUInt16 model) const = 0;
    virtual QString description() const = 0;
    virtual QString copyright() const = 0;
    virtual QString version() const = 0;
    virtual QString driverRevision() = 0;
    virtual QString errorMessage(ViStatus status) = 0;
    virtual ViStatus initInstrument(const char* resource, ViUInt16* fcNumbers, ViUInt16 idQuery,
                                    ViUInt16 reset, ViSession* vi) = 0;
    virtual ViStatus initInstrumentAndKeep(const char* resource, ViUInt16* fcNumbers, ViInt16 count,
                                           ViUInt16 idQuery, ViUInt16 reset, ViSession* vi) = 0;
    virtual ViStatus reinitInstrument(ViSession* vi) = 0;
    virtual ViStatus closeInstrument(ViSession vi) = 0;
    virtual ViStatus resetInstrument(ViSession vi) = 0;

    // Opens a card through initInstrument. Only status 0 opens it: a session
    // that a warning left open is closed again, and after any failure *vi is 0.
    ViStatus openCard(const char* resource, ViUInt16* fcNumbers, ViUInt16 reset, ViSession* vi);

    // The model number's decimal digits read as hexadecimal (0x4720).
    int m_model;

    qv4000fp_genFC(const qv4000fp_genFC&) = delete;
    qv4000fp_genFC& operator=(const qv4000fp_genFC&) = delete;
};

#endif
