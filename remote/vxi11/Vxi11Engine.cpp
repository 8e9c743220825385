#include "Vxi11Engine.h"

#include "Vxi11RpcCodec.h"
#include "vxi11.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace sfp::vxi11 {

namespace {
const char* const kLinkCreated = "VXI-11 link %1 to %2 opened by %3";
const char* const kLinkRefused = "VXI-11 link to %1 refused for %2: %3";
const char* const kUnknownDevice = "no such device";
const char* const kTooManyLinks = "too many links";
const char* const kDeviceRefused = "the device refused it";
const char* const kLinkClosed = "VXI-11 link %1 closed";
const char* const kLockTaken = "lock taken by %1";
const char* const kLockReleased = "lock released by %1";
const char* const kLockLost = "lock lost by %1 to %2";
const char* const kOwnerName = "VXI-11 link %1 (%2)";
const char* const kNobody = "nobody";

// The protocol's error numbers.
enum : long {
    NoError = 0,
    DeviceNotAccessible = 3,
    InvalidLink = 4,
    ParameterError = 5,
    ChannelNotEstablished = 6,
    NotSupported = 8,
    OutOfResources = 9,
    LockedByAnother = 11,
    NoLockHeld = 12,
    IoTimeout = 15,
    IoError = 17,
    Aborted = 23,
};

enum : long { FlagWaitLock = 1, FlagEnd = 8, FlagTermChrSet = 128 };
enum : long { ReasonRequestCount = 1, ReasonTermChr = 2, ReasonEnd = 4 };

constexpr uint8_t kMessageAvailable = 0x10;
constexpr size_t kHeaderAllowance = 2048; // RPC header, credentials, write parameters
constexpr auto kRetryInterval = std::chrono::milliseconds(20);
constexpr auto kExecutorGrace = std::chrono::seconds(1);

std::string format(std::string text, const std::vector<std::string>& args) {
    for (size_t i = args.size(); i > 0; --i) {
        const std::string marker = "%" + std::to_string(i);
        const size_t at = text.find(marker);
        if (at != std::string::npos)
            text.replace(at, marker.size(), args[i - 1]);
    }
    return text;
}

template <typename F> xdrproc_t proc(F function) {
    return reinterpret_cast<xdrproc_t>(reinterpret_cast<void (*)()>(function));
}

// Decoded arguments of one call, freed with the object.
template <typename T> struct Args {
    xdrproc_t decoder;
    T value;
    bool ok;
    Args(xdrproc_t d, const std::string& record, size_t offset) : decoder(d) {
        std::memset(&value, 0, sizeof value);
        ok = Vxi11RpcCodec::decodeArgs(record, offset, decoder, &value);
    }
    ~Args() {
        if (ok)
            Vxi11RpcCodec::freeArgs(decoder, &value);
    }
    Args(const Args&) = delete;
    Args& operator=(const Args&) = delete;
};

long errorOf(Vxi11Status status) {
    switch (status) {
    case Vxi11Status::Ok:
        return NoError;
    case Vxi11Status::NotSupported:
        return NotSupported;
    case Vxi11Status::NotAccessible:
        return DeviceNotAccessible;
    case Vxi11Status::IoError:
        break;
    }
    return IoError;
}

std::string deviceError(uint32_t xid, long error) {
    Device_Error result{error};
    return Vxi11RpcCodec::success(xid, proc(xdr_Device_Error), &result);
}

// The reply a procedure gives when it fails with error, in its own result type.
std::string errorReply(uint32_t xid, uint32_t procedure, long error) {
    switch (procedure) {
    case CREATE_LINK: {
        Create_LinkResp result{};
        result.error = error;
        return Vxi11RpcCodec::success(xid, proc(xdr_Create_LinkResp), &result);
    }
    case DEVICE_WRITE: {
        Device_WriteResp result{error, 0};
        return Vxi11RpcCodec::success(xid, proc(xdr_Device_WriteResp), &result);
    }
    case DEVICE_READ: {
        Device_ReadResp result{};
        result.error = error;
        return Vxi11RpcCodec::success(xid, proc(xdr_Device_ReadResp), &result);
    }
    case DEVICE_READSTB: {
        Device_ReadStbResp result{error, 0};
        return Vxi11RpcCodec::success(xid, proc(xdr_Device_ReadStbResp), &result);
    }
    case DEVICE_DOCMD: {
        Device_DocmdResp result{};
        result.error = error;
        return Vxi11RpcCodec::success(xid, proc(xdr_Device_DocmdResp), &result);
    }
    default:
        return deviceError(xid, error);
    }
}

std::string lowered(const char* text) {
    std::string out(text ? text : "");
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

Vxi11Engine::Clock::time_point after(Vxi11Engine::Clock::time_point now, u_long ms) {
    // Clients send 32-bit millisecond counts; ~0 means "forever" to some of them.
    return now + std::chrono::milliseconds(std::min<u_long>(ms, 0xffffffffUL));
}
} // namespace

Vxi11Engine::Vxi11Engine(const Vxi11ServerConfig& config, uint16_t abortPort, Sender send,
                         std::shared_ptr<Vxi11Inbox> inbox)
    : config_(config), abortPort_(abortPort), send_(std::move(send)), inbox_(std::move(inbox)) {
    config_.maxRecvSize = std::clamp<uint32_t>(config_.maxRecvSize, 1024, VXI11_DATA_MAX);
}

Vxi11Engine::~Vxi11Engine() {
    while (!links_.empty())
        dropLink(links_.begin()->first);
    for (auto& [id, connection] : connections_) {
        if (connection.call && connection.call->device)
            dispose(std::move(connection.call->device));
    }
}

size_t Vxi11Engine::maxRecordSize() const {
    return config_.maxRecvSize + kHeaderAllowance;
}

void Vxi11Engine::openConnection(int connection, Channel channel, const std::string& peer) {
    Connection& entry = connections_[connection];
    entry.channel = channel;
    entry.peer = peer;
}

void Vxi11Engine::closeConnection(int connection) {
    if (connections_.count(connection) && busy(connection))
        endCall(connection);
    std::vector<int32_t> orphans;
    for (const auto& [lid, link] : links_) {
        if (link.connection == connection)
            orphans.push_back(lid);
    }
    for (int32_t lid : orphans)
        dropLink(lid);
    connections_.erase(connection);
}

bool Vxi11Engine::busy(int connection) const {
    const auto it = connections_.find(connection);
    return it != connections_.end() && it->second.call != nullptr;
}

void Vxi11Engine::handleRecord(int connection, const std::string& record, Clock::time_point now) {
    const auto it = connections_.find(connection);
    if (it == connections_.end() || it->second.call)
        return;
    XDR xdrs;
    xdrmem_create(&xdrs, const_cast<char*>(record.data()), u_int(record.size()), XDR_DECODE);
    Vxi11CallHeader header;
    const Vxi11RpcCodec::Decoded decoded = Vxi11RpcCodec::decodeCall(&xdrs, header);
    const size_t offset = xdr_getpos(&xdrs);
    xdr_destroy(&xdrs);
    if (decoded != Vxi11RpcCodec::Decoded::Call)
        return; // nothing to answer to
    const bool core = it->second.channel == Channel::Core;
    if (header.rpcVersion != 2)
        return reply(connection, Vxi11RpcCodec::rpcMismatch(header.xid));
    if (header.program != (core ? DEVICE_CORE : DEVICE_ASYNC))
        return reply(connection, Vxi11RpcCodec::progUnavailable(header.xid));
    if (header.version != 1)
        return reply(connection, Vxi11RpcCodec::progMismatch(header.xid, 1, 1));
    if (header.procedure == 0)
        return reply(connection, Vxi11RpcCodec::success(header.xid, proc(xdr_void), nullptr));
    if (!core)
        return dispatchAbort(connection, record, offset, header.xid);
    auto call = std::make_unique<Call>();
    call->xid = header.xid;
    call->procedure = header.procedure;
    dispatchCore(connection, record, offset, std::move(call), now);
}

void Vxi11Engine::dispatchAbort(int connection, const std::string& record, size_t offset,
                                uint32_t xid) {
    Args<Device_Link> args(proc(xdr_Device_Link), record, offset);
    if (!args.ok)
        return reply(connection, Vxi11RpcCodec::garbageArgs(xid));
    const auto link = links_.find(int32_t(args.value));
    if (link == links_.end())
        return reply(connection, deviceError(xid, InvalidLink));
    const auto owner = connections_.find(link->second.connection);
    if (owner != connections_.end() && owner->second.call && owner->second.call->lid == link->first)
        fail(owner->first, Aborted);
    reply(connection, deviceError(xid, NoError));
}

void Vxi11Engine::dispatchCore(int connection, const std::string& record, size_t offset,
                               std::unique_ptr<Call> call, Clock::time_point now) {
    const uint32_t xid = call->xid;
    switch (call->procedure) {
    case CREATE_LINK:
        return createLink(connection, record, offset, std::move(call), now);
    case DESTROY_LINK:
        return destroyLinkCall(connection, record, offset, xid);
    case DEVICE_WRITE:
    case DEVICE_READ:
    case DEVICE_READSTB:
    case DEVICE_TRIGGER:
    case DEVICE_CLEAR:
    case DEVICE_REMOTE:
    case DEVICE_LOCAL:
    case DEVICE_LOCK:
    case DEVICE_UNLOCK:
        return deviceCall(connection, record, offset, std::move(call), now);
    case DEVICE_DOCMD:
    case DEVICE_ENABLE_SRQ:
    case CREATE_INTR_CHAN:
        return reply(connection, errorReply(xid, call->procedure, NotSupported));
    case DESTROY_INTR_CHAN:
        return reply(connection, deviceError(xid, ChannelNotEstablished));
    default:
        return reply(connection, Vxi11RpcCodec::procUnavailable(xid));
    }
}

void Vxi11Engine::createLink(int connection, const std::string& record, size_t offset,
                             std::unique_ptr<Call> call, Clock::time_point now) {
    Args<Create_LinkParms> args(proc(xdr_Create_LinkParms), record, offset);
    if (!args.ok)
        return reply(connection, Vxi11RpcCodec::garbageArgs(call->xid));
    const std::string name = lowered(args.value.device);
    const std::string peer = connections_[connection].peer;
    const bool known = name == "inst0" || (config_.aliasNumber >= 0 &&
                                           name == "inst" + std::to_string(config_.aliasNumber));
    const char* refusal = !known                                               ? kUnknownDevice
                          : links_.size() + reservedLinks_ >= config_.maxLinks ? kTooManyLinks
                                                                               : nullptr;
    if (refusal) {
        event(format(kLinkRefused, {name, peer, refusal}));
        return reply(connection, errorReply(call->xid, CREATE_LINK,
                                            known ? OutOfResources : DeviceNotAccessible));
    }
    ++reservedLinks_;
    Call& c = *call;
    c.lid = nextLid_++;
    c.lockDevice = args.value.lockDevice;
    c.waitLock = true;
    c.lockDeadline = after(now, args.value.lock_timeout);
    c.ioDeadline = c.lockDeadline;
    c.info = {c.lid, int32_t(args.value.clientId), name, peer,
              format(kOwnerName, {std::to_string(c.lid), peer})};
    c.job = Vxi11Jobs::openLink(config_.linkFactory, c.info);
    connections_[connection].call = std::move(call);
    run(c, now);
}

void Vxi11Engine::destroyLinkCall(int connection, const std::string& record, size_t offset,
                                  uint32_t xid) {
    Args<Device_Link> args(proc(xdr_Device_Link), record, offset);
    if (!args.ok)
        return reply(connection, Vxi11RpcCodec::garbageArgs(xid));
    if (!linkOf(connection, int32_t(args.value)))
        return reply(connection, deviceError(xid, InvalidLink));
    dropLink(int32_t(args.value));
    reply(connection, deviceError(xid, NoError));
}

void Vxi11Engine::deviceCall(int connection, const std::string& record, size_t offset,
                             std::unique_ptr<Call> call, Clock::time_point now) {
    // Every device procedure's arguments start with the link id.
    Args<Device_Link> lid(proc(xdr_Device_Link), record.substr(0, offset + 4), offset);
    if (!lid.ok)
        return reply(connection, Vxi11RpcCodec::garbageArgs(call->xid));
    Link* link = linkOf(connection, int32_t(lid.value));
    if (!link)
        return reply(connection, errorReply(call->xid, call->procedure, InvalidLink));
    Call& c = *call;
    c.lid = int32_t(lid.value);
    bool ok = false;
    switch (c.procedure) {
    case DEVICE_WRITE:
        ok = prepareWrite(*link, c, record, offset, now);
        break;
    case DEVICE_READ:
        ok = prepareRead(*link, c, record, offset, now);
        break;
    case DEVICE_LOCK:
    case DEVICE_UNLOCK:
        ok = prepareLock(*link, c, record, offset, now);
        break;
    default:
        ok = prepareGeneric(*link, c, record, offset, now);
        break;
    }
    if (!ok)
        return; // answered already
    connections_[connection].call = std::move(call);
    run(c, now);
}

bool Vxi11Engine::prepareWrite(Link& link, Call& call, const std::string& record, size_t offset,
                               Clock::time_point now) {
    Args<Device_WriteParms> args(proc(xdr_Device_WriteParms), record, offset);
    if (!args.ok || args.value.data.data_len > config_.maxRecvSize) {
        const int connection = link.connection;
        reply(connection, args.ok ? errorReply(call.xid, DEVICE_WRITE, ParameterError)
                                  : Vxi11RpcCodec::garbageArgs(call.xid));
        return false;
    }
    const Device_WriteParms& p = args.value;
    call.waitLock = (p.flags & FlagWaitLock) != 0;
    call.lockDeadline = after(now, p.lock_timeout);
    call.ioDeadline = after(now, p.io_timeout);
    call.writeSize = p.data.data_len;
    // A new message makes an unread response stale, as the device itself does.
    link.pending.clear();
    link.pendingEnd = false;
    call.job =
        Vxi11Jobs::write(config_.lock, link.owner, link.device,
                         std::string(p.data.data_val, p.data.data_len), (p.flags & FlagEnd) != 0);
    return true;
}

bool Vxi11Engine::prepareRead(Link& link, Call& call, const std::string& record, size_t offset,
                              Clock::time_point now) {
    Args<Device_ReadParms> args(proc(xdr_Device_ReadParms), record, offset);
    if (!args.ok) {
        reply(link.connection, Vxi11RpcCodec::garbageArgs(call.xid));
        return false;
    }
    const Device_ReadParms& p = args.value;
    call.waitLock = (p.flags & FlagWaitLock) != 0;
    call.lockDeadline = after(now, p.lock_timeout);
    call.ioDeadline = after(now, p.io_timeout);
    call.requestSize = uint32_t(std::min<u_long>(p.requestSize, VXI11_DATA_MAX));
    call.termSet = (p.flags & FlagTermChrSet) != 0;
    call.termChar = p.termChar;
    call.job = Vxi11Jobs::read(config_.lock, link.owner, link.device, !link.pendingEnd);
    return true;
}

bool Vxi11Engine::prepareGeneric(Link& link, Call& call, const std::string& record, size_t offset,
                                 Clock::time_point now) {
    Args<Device_GenericParms> args(proc(xdr_Device_GenericParms), record, offset);
    if (!args.ok) {
        reply(link.connection, Vxi11RpcCodec::garbageArgs(call.xid));
        return false;
    }
    call.waitLock = (args.value.flags & FlagWaitLock) != 0;
    call.lockDeadline = after(now, args.value.lock_timeout);
    call.ioDeadline = after(now, args.value.io_timeout);
    Vxi11Jobs::Operation operation;
    switch (call.procedure) {
    case DEVICE_READSTB:
        call.job = Vxi11Jobs::statusByte(config_.lock, link.owner, link.device);
        return true;
    case DEVICE_TRIGGER:
        operation = [](Vxi11Device& d) { return d.trigger(); };
        break;
    case DEVICE_CLEAR:
        operation = [](Vxi11Device& d) { return d.clear(); };
        break;
    case DEVICE_REMOTE:
        operation = [](Vxi11Device& d) { return d.remote(); };
        break;
    default:
        operation = [](Vxi11Device& d) { return d.local(); };
        break;
    }
    call.job = Vxi11Jobs::operate(config_.lock, link.owner, link.device, std::move(operation));
    return true;
}

bool Vxi11Engine::prepareLock(Link& link, Call& call, const std::string& record, size_t offset,
                              Clock::time_point now) {
    if (call.procedure == DEVICE_UNLOCK) {
        call.ioDeadline = call.lockDeadline = now;
        call.job = Vxi11Jobs::release(config_.lock, link.owner);
        return true;
    }
    Args<Device_LockParms> args(proc(xdr_Device_LockParms), record, offset);
    if (!args.ok) {
        reply(link.connection, Vxi11RpcCodec::garbageArgs(call.xid));
        return false;
    }
    call.waitLock = (args.value.flags & FlagWaitLock) != 0;
    call.ioDeadline = call.lockDeadline = after(now, args.value.lock_timeout);
    call.job = Vxi11Jobs::acquire(config_.lock, link.owner);
    return true;
}

void Vxi11Engine::run(Call& call, Clock::time_point now) {
    call.serial = ++nextSerial_;
    call.waiting = Waiting::Nothing;
    call.flightDeadline = std::max({call.ioDeadline, call.lockDeadline, now + kExecutorGrace});
    post([inbox = inbox_, job = call.job, serial = call.serial] { inbox->post(serial, job()); });
}

void Vxi11Engine::process(Clock::time_point now) {
    bool changed = false;
    for (auto& [serial, result] : inbox_->take(changed))
        complete(serial, std::move(result), now);
    std::vector<int> waiting;
    for (const auto& [id, connection] : connections_) {
        if (connection.call)
            waiting.push_back(id);
    }
    for (int id : waiting) {
        const auto it = connections_.find(id);
        if (it != connections_.end() && it->second.call)
            checkTimers(id, *it->second.call, changed, now);
    }
}

void Vxi11Engine::checkTimers(int connection, Call& call, bool changed, Clock::time_point now) {
    if (call.serial != 0) {
        if (now >= call.flightDeadline)
            fail(connection, call.procedure == DEVICE_LOCK ? LockedByAnother : IoTimeout);
        return;
    }
    const bool forLock = call.waiting == Waiting::Lock;
    if (now >= (forLock ? call.lockDeadline : call.ioDeadline))
        return fail(connection, forLock ? LockedByAnother : IoTimeout);
    if (changed || now >= call.retryAt)
        run(call, now);
}

Vxi11Engine::Clock::time_point Vxi11Engine::nextWakeUp() const {
    Clock::time_point next = Clock::time_point::max();
    for (const auto& [id, connection] : connections_) {
        const Call* call = connection.call.get();
        if (!call)
            continue;
        if (call->serial != 0)
            next = std::min(next, call->flightDeadline);
        else
            next =
                std::min({next, call->retryAt,
                          call->waiting == Waiting::Lock ? call->lockDeadline : call->ioDeadline});
    }
    return next;
}

void Vxi11Engine::complete(uint64_t serial, Vxi11JobResult result, Clock::time_point now) {
    for (auto& [id, connection] : connections_) {
        if (connection.call && connection.call->serial == serial) {
            connection.call->serial = 0;
            return finish(id, *connection.call, result, now);
        }
    }
    // The call ended (timeout, abort, disconnect) before its job did.
    if (result.device)
        dispose(std::move(result.device));
}

void Vxi11Engine::finish(int connection, Call& call, Vxi11JobResult& result,
                         Clock::time_point now) {
    if (call.procedure == CREATE_LINK)
        return finishCreate(connection, call, result, now);
    Link* link = linkOf(connection, call.lid);
    if (!link)
        return fail(connection, InvalidLink);
    noteHolder(*link, result);
    if (result.outcome == Vxi11JobResult::Outcome::Locked)
        return waitFor(connection, call, Waiting::Lock, now);
    const long error = errorOf(result.status);
    switch (call.procedure) {
    case DEVICE_WRITE: {
        Device_WriteResp out{error, error == NoError ? call.writeSize : 0};
        reply(connection, Vxi11RpcCodec::success(call.xid, proc(xdr_Device_WriteResp), &out));
        break;
    }
    case DEVICE_READ:
        return finishRead(connection, call, *link, result, now);
    case DEVICE_READSTB: {
        const uint8_t mav = link->pending.empty() ? 0 : kMessageAvailable;
        Device_ReadStbResp out{NoError, u_char(result.statusByte | mav)};
        reply(connection, Vxi11RpcCodec::success(call.xid, proc(xdr_Device_ReadStbResp), &out));
        break;
    }
    case DEVICE_LOCK:
        if (!link->holdsLock)
            event(format(kLockTaken, {link->owner}));
        link->holdsLock = true;
        reply(connection, deviceError(call.xid, NoError));
        break;
    case DEVICE_UNLOCK: {
        const bool held = result.holder == link->owner;
        if (held)
            event(format(kLockReleased, {link->owner}));
        link->holdsLock = false;
        reply(connection, deviceError(call.xid, held ? NoError : NoLockHeld));
        break;
    }
    case DEVICE_CLEAR:
        link->pending.clear();
        link->pendingEnd = false;
        reply(connection, deviceError(call.xid, error));
        break;
    default:
        reply(connection, deviceError(call.xid, error));
        break;
    }
    endCall(connection);
}

void Vxi11Engine::finishCreate(int connection, Call& call, Vxi11JobResult& result,
                               Clock::time_point now) {
    if (result.device) { // the device is made; now the lock, if asked for
        call.device = std::move(result.device);
        if (call.lockDevice) {
            call.job = Vxi11Jobs::acquire(config_.lock, call.info.owner);
            return run(call, now);
        }
    } else if (!call.device) {
        event(format(kLinkRefused, {call.info.device, call.info.peer, kDeviceRefused}));
        return fail(connection, DeviceNotAccessible);
    } else if (result.outcome == Vxi11JobResult::Outcome::Locked) {
        return waitFor(connection, call, Waiting::Lock, now);
    }
    Link& link = links_[call.lid];
    link.connection = connection;
    link.device = std::move(call.device);
    link.owner = call.info.owner;
    link.holdsLock = call.lockDevice;
    --reservedLinks_;
    event(format(kLinkCreated, {std::to_string(call.lid), call.info.device, call.info.peer}));
    if (call.lockDevice)
        event(format(kLockTaken, {link.owner}));
    Create_LinkResp out{NoError, call.lid, abortPort_, config_.maxRecvSize};
    reply(connection, Vxi11RpcCodec::success(call.xid, proc(xdr_Create_LinkResp), &out));
    endCall(connection);
}

void Vxi11Engine::finishRead(int connection, Call& call, Link& link, Vxi11JobResult& result,
                             Clock::time_point now) {
    link.pending += result.response.bytes;
    link.pendingEnd = link.pendingEnd || result.response.end;
    if (tryAnswerRead(connection, call, link))
        return endCall(connection);
    call.job = Vxi11Jobs::read(config_.lock, link.owner, link.device, true);
    waitFor(connection, call, Waiting::Data, now);
}

// Answers when the buffered bytes end the read: the request count, the
// termination character (when asked for) or the end of the message.
bool Vxi11Engine::tryAnswerRead(int connection, Call& call, Link& link) {
    size_t take = std::min<size_t>(call.requestSize, link.pending.size());
    long reason = 0;
    if (call.termSet) {
        const size_t at = link.pending.find(call.termChar);
        if (at != std::string::npos && at < take) {
            take = at + 1;
            reason |= ReasonTermChr;
        }
    }
    if (take == call.requestSize)
        reason |= ReasonRequestCount;
    if (link.pendingEnd && take == link.pending.size())
        reason |= ReasonEnd;
    if (reason == 0)
        return false;
    Device_ReadResp out{};
    out.error = NoError;
    out.reason = reason;
    out.data.data_len = u_int(take);
    out.data.data_val = link.pending.data();
    reply(connection, Vxi11RpcCodec::success(call.xid, proc(xdr_Device_ReadResp), &out));
    link.pending.erase(0, take);
    if (link.pending.empty())
        link.pendingEnd = false;
    return true;
}

void Vxi11Engine::waitFor(int connection, Call& call, Waiting waiting, Clock::time_point now) {
    const bool forLock = waiting == Waiting::Lock;
    if (forLock && !call.waitLock)
        return fail(connection, LockedByAnother);
    if (now >= (forLock ? call.lockDeadline : call.ioDeadline))
        return fail(connection, forLock ? LockedByAnother : IoTimeout);
    call.waiting = waiting;
    call.retryAt = now + kRetryInterval;
}

void Vxi11Engine::noteHolder(Link& link, const Vxi11JobResult& result) {
    if (!result.holderKnown || !link.holdsLock || result.holder == link.owner)
        return;
    event(format(kLockLost, {link.owner, result.holder.empty() ? kNobody : result.holder}));
    link.holdsLock = false;
}

void Vxi11Engine::fail(int connection, long error) {
    const auto it = connections_.find(connection);
    if (it == connections_.end() || !it->second.call)
        return;
    const Call& call = *it->second.call;
    reply(connection, errorReply(call.xid, call.procedure, error));
    endCall(connection);
}

void Vxi11Engine::reply(int connection, std::string framed) {
    if (send_ && !framed.empty())
        send_(connection, std::move(framed));
}

void Vxi11Engine::endCall(int connection) {
    const auto it = connections_.find(connection);
    if (it == connections_.end() || !it->second.call)
        return;
    std::unique_ptr<Call> call = std::move(it->second.call);
    if (call->procedure != CREATE_LINK || links_.count(call->lid))
        return;
    // A link that was being made and is not: give back its place and device.
    --reservedLinks_;
    if (call->device)
        dispose(std::move(call->device));
    if (call->lockDevice)
        post([job = Vxi11Jobs::release(config_.lock, call->info.owner)] { job(); });
}

void Vxi11Engine::dropLink(int32_t lid) {
    const auto it = links_.find(lid);
    if (it == links_.end())
        return;
    Link link = std::move(it->second);
    links_.erase(it);
    if (link.holdsLock)
        event(format(kLockReleased, {link.owner}));
    post([job = Vxi11Jobs::release(config_.lock, link.owner)] { job(); });
    dispose(std::move(link.device));
    event(format(kLinkClosed, {std::to_string(lid)}));
}

void Vxi11Engine::post(Vxi11Job job) {
    if (config_.executor)
        config_.executor(std::move(job));
    else
        job();
}

// The device goes on the executor's thread, after any job still holding it.
void Vxi11Engine::dispose(std::shared_ptr<Vxi11Device> device) {
    if (!device)
        return;
    post([device = std::move(device)]() mutable { device.reset(); });
}

void Vxi11Engine::event(const std::string& line) const {
    if (config_.events)
        config_.events(line);
}

Vxi11Engine::Link* Vxi11Engine::linkOf(int connection, int32_t lid) {
    const auto it = links_.find(lid);
    return it != links_.end() && it->second.connection == connection ? &it->second : nullptr;
}

} // namespace sfp::vxi11
