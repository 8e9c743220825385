#include "ScpiEngine.h"

#include "RemoteLock.h"
#include "ScpiCall.h"
#include "ScpiCommonCommands.h"
#include "ScpiParser.h"

#include <QMutexLocker>

#include <algorithm>

ScpiEngine::ScpiEngine(RemoteLock& lock) : lock_(lock) {
    ScpiCommonCommands::registerAll(*this);
}

bool ScpiEngine::addCommand(const ScpiCommandEntry& entry, QString* error) {
    return table_.add(entry, error);
}

std::shared_ptr<ScpiSession> ScpiEngine::createSession(const QString& name) {
    QMutexLocker guard(&sessionsMutex_);
    sessions_.erase(std::remove_if(sessions_.begin(), sessions_.end(),
                                   [](const std::weak_ptr<ScpiSession>& s) { return s.expired(); }),
                    sessions_.end());
    auto session = std::make_shared<ScpiSession>(lock_.newOwnerId(), name, queueCapacity_);
    session->status().setCondition(ScpiStatus::Register::Operation, operationCondition_);
    session->status().setCondition(ScpiStatus::Register::Questionable, questionableCondition_);
    sessions_.push_back(session);
    return session;
}

void ScpiEngine::sync() const {
    if (sync_)
        sync_();
}

void ScpiEngine::setCondition(ScpiStatus::Register r, quint16 condition) {
    (r == ScpiStatus::Register::Operation ? operationCondition_ : questionableCondition_) =
        condition;
    QMutexLocker guard(&sessionsMutex_);
    for (const std::weak_ptr<ScpiSession>& weak : sessions_) {
        if (const std::shared_ptr<ScpiSession> session = weak.lock())
            session->status().setCondition(r, condition);
    }
}

QByteArray ScpiEngine::execute(ScpiSession& session, QByteArrayView message) {
    QByteArray response;
    session.path().steps.clear(); // each message starts at the root
    ScpiParser parser(message);
    ScpiProgramUnit unit;
    ScpiError error;
    for (;;) {
        const ScpiParser::Step step = parser.next(unit, error);
        if (step == ScpiParser::Step::End)
            break;
        if (step == ScpiParser::Step::Error) {
            session.postError(error);
            break;
        }
        error = run(session, unit, response);
        if (!error.isError())
            continue;
        session.postError(error);
        // A command error leaves the rest of the message unparsed.
        if (error.errorClass() == ScpiError::Class::Command)
            break;
    }
    if (!response.isEmpty())
        response += '\n';
    return response;
}

ScpiError ScpiEngine::run(ScpiSession& session, const ScpiProgramUnit& unit, QByteArray& response) {
    ScpiCommandTable::Resolved resolved;
    if (ScpiError e = table_.resolve(unit, session.path(), session, resolved); e.isError())
        return e;
    const ScpiCommandEntry& command = *resolved.command;
    const ScpiCommandEntry::Handler& handler = unit.query ? command.query : command.set;
    if (!handler)
        return ScpiError::standard(ScpiError::UndefinedHeader);
    const int count = int(unit.parameters.size());
    if (count > (unit.query ? command.queryMaxParameters : command.setMaxParameters))
        return ScpiError::standard(ScpiError::ParameterNotAllowed);
    if (count < (unit.query ? command.queryMinParameters : command.setMinParameters))
        return ScpiError::standard(ScpiError::MissingParameter);
    if (!unit.query && command.guarded) {
        if (ScpiError e = lock_.writeError(session.ownerId()); e.isError())
            return e;
    }
    session.setMessageAvailable(!response.isEmpty());
    ScpiCall call(command, resolved.suffixes, unit.parameters, session);
    const ScpiReply reply = handler(call);
    if (reply.isError())
        return reply.error();
    if (unit.query) {
        if (!response.isEmpty())
            response += ';';
        response += reply.response();
    }
    return {};
}
