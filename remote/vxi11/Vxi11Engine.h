// The VXI-11 protocol without sockets: takes whole RPC records per connection,
// keeps the links, runs each call's job through the executor and sends the
// reply once the job is done, a lock or data wait is over, or a timeout or
// abort ends the call. Everything here runs on the server thread; only the
// inbox is touched from other threads.
//
// One call at a time per connection: while busy(connection), the caller holds
// back that connection's next record (and stops reading its socket).
#ifndef SFP_VXI11_VXI11ENGINE_H
#define SFP_VXI11_VXI11ENGINE_H

#include "Vxi11Inbox.h"
#include "Vxi11Jobs.h"
#include "Vxi11ServerConfig.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace sfp::vxi11 {

class Vxi11Engine {
public:
    using Clock = std::chrono::steady_clock;
    using Sender = std::function<void(int connection, std::string framedReply)>;
    enum class Channel { Core, Abort };

    Vxi11Engine(const Vxi11ServerConfig& config, uint16_t abortPort, Sender send,
                std::shared_ptr<Vxi11Inbox> inbox);
    // Releases the lock and drops the devices of the links still open.
    ~Vxi11Engine();
    Vxi11Engine(const Vxi11Engine&) = delete;
    Vxi11Engine& operator=(const Vxi11Engine&) = delete;

    void openConnection(int connection, Channel channel, const std::string& peer);
    void closeConnection(int connection);
    void handleRecord(int connection, const std::string& record, Clock::time_point now);
    bool busy(int connection) const;
    // Finished jobs, notifications, retries and deadlines.
    void process(Clock::time_point now);
    Clock::time_point nextWakeUp() const;
    size_t linkCount() const { return links_.size(); }
    // The largest record a connection may send: a full device_write and its headers.
    size_t maxRecordSize() const;

private:
    enum class Waiting { Nothing, Lock, Data };
    struct Call {
        uint32_t xid = 0;
        uint32_t procedure = 0;
        int32_t lid = 0;
        uint64_t serial = 0; // job in flight; 0: none
        Waiting waiting = Waiting::Nothing;
        bool waitLock = false;
        Clock::time_point lockDeadline, ioDeadline, flightDeadline, retryAt;
        Vxi11JobFn job;
        uint32_t requestSize = 0; // device_read
        bool termSet = false;
        char termChar = 0;
        uint32_t writeSize = 0;  // device_write
        bool lockDevice = false; // create_link
        Vxi11LinkInfo info;
        std::shared_ptr<Vxi11Device> device;
    };
    struct Connection {
        Channel channel = Channel::Core;
        std::string peer;
        std::unique_ptr<Call> call;
    };
    struct Link {
        int connection = 0;
        std::shared_ptr<Vxi11Device> device;
        std::string owner;
        bool holdsLock = false;
        std::string pending; // response bytes taken from the device, not yet read
        bool pendingEnd = false;
    };

    Vxi11ServerConfig config_;
    uint16_t abortPort_;
    Sender send_;
    std::shared_ptr<Vxi11Inbox> inbox_;
    std::map<int, Connection> connections_;
    std::map<int32_t, Link> links_;
    size_t reservedLinks_ = 0;
    int32_t nextLid_ = 1;
    uint64_t nextSerial_ = 0;

    void dispatchCore(int connection, const std::string& record, size_t offset,
                      std::unique_ptr<Call> call, Clock::time_point now);
    void dispatchAbort(int connection, const std::string& record, size_t offset, uint32_t xid);
    void createLink(int connection, const std::string& record, size_t offset,
                    std::unique_ptr<Call> call, Clock::time_point now);
    void deviceCall(int connection, const std::string& record, size_t offset,
                    std::unique_ptr<Call> call, Clock::time_point now);
    bool prepareWrite(Link& link, Call& call, const std::string& record, size_t offset,
                      Clock::time_point now);
    bool prepareRead(Link& link, Call& call, const std::string& record, size_t offset,
                     Clock::time_point now);
    bool prepareGeneric(Link& link, Call& call, const std::string& record, size_t offset,
                        Clock::time_point now);
    bool prepareLock(Link& link, Call& call, const std::string& record, size_t offset,
                     Clock::time_point now);
    void destroyLinkCall(int connection, const std::string& record, size_t offset, uint32_t xid);

    void run(Call& call, Clock::time_point now);
    void complete(uint64_t serial, Vxi11JobResult result, Clock::time_point now);
    void finish(int connection, Call& call, Vxi11JobResult& result, Clock::time_point now);
    void finishCreate(int connection, Call& call, Vxi11JobResult& result, Clock::time_point now);
    void finishRead(int connection, Call& call, Link& link, Vxi11JobResult& result,
                    Clock::time_point now);
    bool tryAnswerRead(int connection, Call& call, Link& link);
    void waitFor(int connection, Call& call, Waiting waiting, Clock::time_point now);
    void checkTimers(int connection, Call& call, bool changed, Clock::time_point now);
    void noteHolder(Link& link, const Vxi11JobResult& result);

    void fail(int connection, long error);
    void reply(int connection, std::string framed);
    void endCall(int connection);
    void dropLink(int32_t lid);
    void post(Vxi11Job job);
    void dispose(std::shared_ptr<Vxi11Device> device);
    void event(const std::string& line) const;
    Link* linkOf(int connection, int32_t lid);
};

} // namespace sfp::vxi11

#endif
