// What a command handler answers: nothing (a set that worked), a response
// (a query), or a SCPI error for the client's error queue.
#ifndef SFP_SCPIREPLY_H
#define SFP_SCPIREPLY_H

#include "ScpiError.h"

#include <QByteArray>

class ScpiReply {
public:
    ScpiReply() = default;
    ScpiReply(const ScpiError& error) : error_(error) {} // NOLINT: a handler returns its error
    static ScpiReply response(const QByteArray& text) {
        ScpiReply r;
        r.response_ = text;
        return r;
    }

    bool isError() const { return error_.isError(); }
    const ScpiError& error() const { return error_; }
    const QByteArray& response() const { return response_; }

private:
    ScpiError error_;
    QByteArray response_;
};

#endif
