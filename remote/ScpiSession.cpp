#include "ScpiSession.h"

ScpiSession::ScpiSession(quint64 ownerId, const QString& name, int queueCapacity)
    : ownerId_(ownerId), name_(name), status_(queueCapacity) {}

void ScpiSession::setVariable(const QByteArray& name, int value) {
    for (auto& entry : variables_) {
        if (entry.first == name) {
            entry.second = value;
            return;
        }
    }
    variables_.append({name, value});
}

int ScpiSession::variable(const QByteArray& name, int fallback) const {
    for (const auto& entry : variables_) {
        if (entry.first == name)
            return entry.second;
    }
    return fallback;
}
