// The ONC RPC (version 2) message around each VXI-11 call: decodes a call's
// header from a record and encodes replies, through the XDR routines of
// libtirpc and those generated from vxi11.x. Credentials are skipped, not
// checked: the channels use AUTH_NONE and access is decided by peer address.
#ifndef SFP_VXI11_VXI11RPCCODEC_H
#define SFP_VXI11_VXI11RPCCODEC_H

#include <cstdint>
#include <string>

#include <rpc/xdr.h>

namespace sfp::vxi11 {

struct Vxi11CallHeader {
    uint32_t xid = 0;
    uint32_t rpcVersion = 0;
    uint32_t program = 0;
    uint32_t version = 0;
    uint32_t procedure = 0;
};

class Vxi11RpcCodec {
public:
    enum class Decoded {
        Call,    // header read; the arguments follow in the stream
        NotCall, // readable xid but not an RPC call: ignore the record
        Garbage  // not even an xid: drop the connection
    };

    // Reads the call header from a decoding XDR stream positioned at the start.
    static Decoded decodeCall(XDR* xdrs, Vxi11CallHeader& header);
    // Decodes the arguments of a call from the rest of the record into args
    // (zeroed first); false when they do not parse or bytes are left over.
    static bool decodeArgs(const std::string& record, size_t offset, xdrproc_t proc, void* args);
    static void freeArgs(xdrproc_t proc, void* args);

    // Replies, each framed as one record ready to send.
    static std::string success(uint32_t xid, xdrproc_t proc, void* result);
    static std::string progUnavailable(uint32_t xid);
    static std::string progMismatch(uint32_t xid, uint32_t low, uint32_t high);
    static std::string procUnavailable(uint32_t xid);
    static std::string garbageArgs(uint32_t xid);
    static std::string rpcMismatch(uint32_t xid);
};

} // namespace sfp::vxi11

#endif
