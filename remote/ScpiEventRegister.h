// A SCPI status register: the condition, the event latched on its
// transitions (positive by default), and the enable mask of its summary bit.
#ifndef SFP_SCPIEVENTREGISTER_H
#define SFP_SCPIEVENTREGISTER_H

#include <QtGlobal>

class ScpiEventRegister {
public:
    void setCondition(quint16 condition) {
        const quint16 rising = quint16(condition & ~condition_);
        const quint16 falling = quint16(~condition & condition_);
        event_ |= quint16((rising & positive_) | (falling & negative_)) & 0x7FFF;
        condition_ = condition & 0x7FFF;
    }
    quint16 condition() const { return condition_; }
    quint16 takeEvent() {
        const quint16 e = event_;
        event_ = 0;
        return e;
    }
    quint16 event() const { return event_; }
    void clearEvent() { event_ = 0; }
    void setEnable(quint16 mask) { enable_ = mask & 0x7FFF; }
    quint16 enable() const { return enable_; }
    bool summary() const { return (event_ & enable_) != 0; }
    // STATus:PRESet: nothing enabled, positive transitions only.
    void preset() {
        enable_ = 0;
        positive_ = 0x7FFF;
        negative_ = 0;
    }

private:
    quint16 condition_ = 0;
    quint16 event_ = 0;
    quint16 enable_ = 0;
    quint16 positive_ = 0x7FFF;
    quint16 negative_ = 0;
};

#endif
