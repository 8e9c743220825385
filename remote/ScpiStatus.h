// The IEEE 488.2 status model of one client, with SCPI's additions: the
// error queue, the standard event status register (ESR) and its enable
// (ESE), the status byte (STB) and its service request enable (SRE), and
// the OPERation and QUEStionable registers. Errors may be posted from any
// thread (a card session's writer reporting late), so every access locks.
#ifndef SFP_SCPISTATUS_H
#define SFP_SCPISTATUS_H

#include "ScpiErrorQueue.h"
#include "ScpiEventRegister.h"

#include <QMutex>

class ScpiStatus {
public:
    // Bits of the standard event status register.
    enum EsrBit : quint8 {
        OperationComplete = 0x01,
        QueryErrorBit = 0x04,
        DeviceErrorBit = 0x08,
        ExecutionErrorBit = 0x10,
        CommandErrorBit = 0x20,
        PowerOn = 0x80,
    };
    // Bits of the status byte.
    enum StbBit : quint8 {
        ErrorQueueBit = 0x04,
        QuestionableBit = 0x08,
        MessageAvailable = 0x10,
        EventStatusBit = 0x20,
        RequestService = 0x40,
        OperationBit = 0x80,
    };
    enum class Register { Operation, Questionable };

    explicit ScpiStatus(int queueCapacity = ScpiErrorQueue::kDefaultCapacity);

    void pushError(const ScpiError& error);
    ScpiError takeError();
    int errorCount() const;

    void setEventBits(quint8 bits);
    quint8 takeEsr();
    void setEse(quint8 mask);
    quint8 ese() const;
    void setSre(quint8 mask);
    quint8 sre() const;
    // The status byte with its summary bits; bit 6 is the master summary.
    quint8 stb(bool messageAvailable) const;

    void setCondition(Register r, quint16 condition);
    quint16 condition(Register r) const;
    quint16 takeEvent(Register r);
    void setEnable(Register r, quint16 mask);
    quint16 enable(Register r) const;
    void preset(); // STATus:PRESet
    void clear();  // *CLS

private:
    ScpiEventRegister& reg(Register r) {
        return r == Register::Operation ? operation_ : questionable_;
    }
    const ScpiEventRegister& reg(Register r) const {
        return r == Register::Operation ? operation_ : questionable_;
    }

    mutable QMutex mutex_;
    ScpiErrorQueue errors_;
    quint8 esr_ = 0;
    quint8 ese_ = 0;
    quint8 sre_ = 0;
    ScpiEventRegister operation_;
    ScpiEventRegister questionable_;
};

#endif
