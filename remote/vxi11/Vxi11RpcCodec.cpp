#include "Vxi11RpcCodec.h"

#include "Vxi11RecordFramer.h"

#include <vector>

namespace sfp::vxi11 {

namespace {
constexpr uint32_t kCall = 0;
constexpr uint32_t kReply = 1;
constexpr uint32_t kAccepted = 0;
constexpr uint32_t kDenied = 1;
constexpr uint32_t kRpcMismatch = 0;
constexpr uint32_t kAuthNone = 0;
constexpr uint32_t kRpcVersion = 2;
constexpr uint32_t kMaxAuthBody = 400;

enum AcceptStat : uint32_t {
    Success = 0,
    ProgUnavail = 1,
    ProgMismatch = 2,
    ProcUnavail = 3,
    GarbageArgs = 4,
};

bool u32(XDR* xdrs, uint32_t& value) {
    return xdr_u_int32_t(xdrs, &value);
}

// Skips an opaque_auth: flavor, then a body of at most 400 bytes.
bool skipAuth(XDR* xdrs) {
    uint32_t flavor = 0;
    uint32_t length = 0;
    if (!u32(xdrs, flavor) || !u32(xdrs, length) || length > kMaxAuthBody)
        return false;
    char body[kMaxAuthBody];
    return xdr_opaque(xdrs, body, length);
}

// Encodes a reply header, then whatever body() writes, into a framed record.
template <typename Body> std::string encodeReply(uint32_t xid, size_t bodySize, Body body) {
    std::vector<char> buffer(64 + bodySize);
    XDR xdrs;
    xdrmem_create(&xdrs, buffer.data(), u_int(buffer.size()), XDR_ENCODE);
    uint32_t type = kReply;
    bool ok = u32(&xdrs, xid) && u32(&xdrs, type) && body(&xdrs);
    const size_t used = ok ? xdr_getpos(&xdrs) : 0;
    xdr_destroy(&xdrs);
    return ok ? Vxi11RecordFramer::frame(std::string(buffer.data(), used)) : std::string();
}

std::string accepted(uint32_t xid, uint32_t stat, const uint32_t* extra = nullptr,
                     size_t extraCount = 0) {
    return encodeReply(xid, 16, [&](XDR* xdrs) {
        uint32_t words[] = {kAccepted, kAuthNone, 0, stat};
        for (uint32_t& word : words) {
            if (!u32(xdrs, word))
                return false;
        }
        for (size_t i = 0; i < extraCount; ++i) {
            uint32_t word = extra[i];
            if (!u32(xdrs, word))
                return false;
        }
        return true;
    });
}
} // namespace

Vxi11RpcCodec::Decoded Vxi11RpcCodec::decodeCall(XDR* xdrs, Vxi11CallHeader& header) {
    if (!u32(xdrs, header.xid))
        return Decoded::Garbage;
    uint32_t type = 0;
    if (!u32(xdrs, type) || type != kCall)
        return Decoded::NotCall;
    const bool ok = u32(xdrs, header.rpcVersion) && u32(xdrs, header.program) &&
                    u32(xdrs, header.version) && u32(xdrs, header.procedure) && skipAuth(xdrs) &&
                    skipAuth(xdrs);
    return ok ? Decoded::Call : Decoded::NotCall;
}

bool Vxi11RpcCodec::decodeArgs(const std::string& record, size_t offset, xdrproc_t proc,
                               void* args) {
    if (offset > record.size())
        return false;
    XDR xdrs;
    // The decoder only reads through this pointer.
    char* base = const_cast<char*>(record.data()) + offset;
    const u_int size = u_int(record.size() - offset);
    xdrmem_create(&xdrs, base, size, XDR_DECODE);
    const bool ok = proc(&xdrs, args) && xdr_getpos(&xdrs) == size;
    xdr_destroy(&xdrs);
    if (!ok)
        freeArgs(proc, args);
    return ok;
}

void Vxi11RpcCodec::freeArgs(xdrproc_t proc, void* args) {
    xdr_free(proc, args);
}

std::string Vxi11RpcCodec::success(uint32_t xid, xdrproc_t proc, void* result) {
    const size_t size = result ? xdr_sizeof(proc, result) : 0;
    return encodeReply(xid, 16 + size, [&](XDR* xdrs) {
        uint32_t words[] = {kAccepted, kAuthNone, 0, Success};
        for (uint32_t& word : words) {
            if (!u32(xdrs, word))
                return false;
        }
        return result == nullptr || proc(xdrs, result);
    });
}

std::string Vxi11RpcCodec::progUnavailable(uint32_t xid) {
    return accepted(xid, ProgUnavail);
}

std::string Vxi11RpcCodec::progMismatch(uint32_t xid, uint32_t low, uint32_t high) {
    const uint32_t range[] = {low, high};
    return accepted(xid, ProgMismatch, range, 2);
}

std::string Vxi11RpcCodec::procUnavailable(uint32_t xid) {
    return accepted(xid, ProcUnavail);
}

std::string Vxi11RpcCodec::garbageArgs(uint32_t xid) {
    return accepted(xid, GarbageArgs);
}

std::string Vxi11RpcCodec::rpcMismatch(uint32_t xid) {
    return encodeReply(xid, 12, [&](XDR* xdrs) {
        uint32_t words[] = {kDenied, kRpcMismatch, kRpcVersion, kRpcVersion};
        for (uint32_t& word : words) {
            if (!u32(xdrs, word))
                return false;
        }
        return true;
    });
}

} // namespace sfp::vxi11
