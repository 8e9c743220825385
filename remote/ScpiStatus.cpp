#include "ScpiStatus.h"

#include <QMutexLocker>

namespace {
quint8 esrBitOf(const ScpiError& error) {
    switch (error.errorClass()) {
    case ScpiError::Class::Command:
        return ScpiStatus::CommandErrorBit;
    case ScpiError::Class::Execution:
        return ScpiStatus::ExecutionErrorBit;
    case ScpiError::Class::Query:
        return ScpiStatus::QueryErrorBit;
    case ScpiError::Class::Device:
    case ScpiError::Class::Other:
        return ScpiStatus::DeviceErrorBit;
    case ScpiError::Class::None:
        break;
    }
    return 0;
}
} // namespace

ScpiStatus::ScpiStatus(int queueCapacity) : errors_(queueCapacity) {}

void ScpiStatus::pushError(const ScpiError& error) {
    QMutexLocker lock(&mutex_);
    esr_ |= esrBitOf(error);
    // An error the full queue could not hold is an overflow, a device error.
    if (!errors_.push(error))
        esr_ |= DeviceErrorBit;
}

ScpiError ScpiStatus::takeError() {
    QMutexLocker lock(&mutex_);
    return errors_.take();
}

int ScpiStatus::errorCount() const {
    QMutexLocker lock(&mutex_);
    return errors_.count();
}

void ScpiStatus::setEventBits(quint8 bits) {
    QMutexLocker lock(&mutex_);
    esr_ |= bits;
}

quint8 ScpiStatus::takeEsr() {
    QMutexLocker lock(&mutex_);
    const quint8 value = esr_;
    esr_ = 0;
    return value;
}

void ScpiStatus::setEse(quint8 mask) {
    QMutexLocker lock(&mutex_);
    ese_ = mask;
}

quint8 ScpiStatus::ese() const {
    QMutexLocker lock(&mutex_);
    return ese_;
}

void ScpiStatus::setSre(quint8 mask) {
    QMutexLocker lock(&mutex_);
    sre_ = mask & quint8(~RequestService);
}

quint8 ScpiStatus::sre() const {
    QMutexLocker lock(&mutex_);
    return sre_;
}

quint8 ScpiStatus::stb(bool messageAvailable) const {
    QMutexLocker lock(&mutex_);
    quint8 value = 0;
    if (errors_.count() > 0)
        value |= ErrorQueueBit;
    if (questionable_.summary())
        value |= QuestionableBit;
    if (messageAvailable)
        value |= MessageAvailable;
    if (esr_ & ese_)
        value |= EventStatusBit;
    if (operation_.summary())
        value |= OperationBit;
    if (value & sre_)
        value |= RequestService;
    return value;
}

void ScpiStatus::setCondition(Register r, quint16 condition) {
    QMutexLocker lock(&mutex_);
    reg(r).setCondition(condition);
}

quint16 ScpiStatus::condition(Register r) const {
    QMutexLocker lock(&mutex_);
    return reg(r).condition();
}

quint16 ScpiStatus::takeEvent(Register r) {
    QMutexLocker lock(&mutex_);
    return reg(r).takeEvent();
}

void ScpiStatus::setEnable(Register r, quint16 mask) {
    QMutexLocker lock(&mutex_);
    reg(r).setEnable(mask);
}

quint16 ScpiStatus::enable(Register r) const {
    QMutexLocker lock(&mutex_);
    return reg(r).enable();
}

void ScpiStatus::preset() {
    QMutexLocker lock(&mutex_);
    operation_.preset();
    questionable_.preset();
}

void ScpiStatus::clear() {
    QMutexLocker lock(&mutex_);
    errors_.clear();
    esr_ = 0;
    operation_.clearEvent();
    questionable_.clearEvent();
}
