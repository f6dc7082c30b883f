// The current-formats layer: keys and certificates.
//
// DER files are told by their first few ASN.1 elements (a certificate's
// to-be-signed part, a PKCS#12 file's version 3 and authenticated safe),
// OpenPGP files by their first packet's header and the fields it starts
// with; key databases and key boxes by their magic numbers.
#include <string>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

std::string_view head_of(const Context& ctx) { return probe_of(ctx).head(); }

// ---- DER -----------------------------------------------------------------------

// One element: its tag, where its content starts and how long it is. An
// indefinite length (BER) reads as `open` with the rest of the region.
struct Element {
    unsigned tag = 0;
    std::size_t start = 0;
    std::uint64_t length = 0;
    bool open = false;
    bool ok = false;
    std::uint64_t end() const { return start + length; }
};

Element element(std::string_view b, std::size_t at) {
    Element e;
    if (!bytes::has(b, at, 2)) return e;
    e.tag = bytes::u8(b, at);
    unsigned first = bytes::u8(b, at + 1);
    if (first < 0x80) {
        e.start = at + 2;
        e.length = first;
    } else if (first == 0x80) {
        e.start = at + 2;
        e.open = true;
        e.length = b.size() - e.start;
    } else {
        std::size_t n = first & 0x7F;
        if (n > 4 || !bytes::has(b, at + 2, n)) return e;
        e.length = bytes::be(b, at + 2, n);
        if (e.length < 0x80 || (n > 1 && e.length < (std::uint64_t{1} << (8 * (n - 1))))) return e;  // not minimal
        e.start = at + 2 + n;
    }
    e.ok = true;
    return e;
}

// Inside `outer`, which the region may hold only in part: the next element
// starts within what the region holds and ends within `outer`.
bool inside(const Element& e, const Element& outer, std::string_view b) {
    return e.ok && e.start <= b.size() && (outer.open || e.end() <= outer.end());
}

// An X.509 certificate: SEQUENCE { SEQUENCE { [0] version?, INTEGER serial,
// SEQUENCE { OID ... } signature algorithm, SEQUENCE issuer ... } ... },
// the whole no longer than the file.
bool certificate(const HexImage&, const Context& ctx) {
    std::string_view b = head_of(ctx);
    Element cert = element(b, 0);
    if (!cert.ok || cert.open || cert.tag != 0x30 || cert.end() > probe_of(ctx).size()) return false;
    Element tbs = element(b, cert.start);
    if (!inside(tbs, cert, b) || tbs.open || tbs.tag != 0x30) return false;
    std::size_t at = tbs.start;
    Element e = element(b, at);
    if (e.tag == 0xA0) {
        if (!inside(e, tbs, b) || e.length != 3 || !bytes::at(b, e.start, "\x02\x01") || bytes::u8(b, e.start + 2) > 2)
            return false;
        at = static_cast<std::size_t>(e.end());
        e = element(b, at);
    }
    if (!inside(e, tbs, b) || e.tag != 0x02 || e.length == 0 || e.length > 64) return false;
    Element alg = element(b, static_cast<std::size_t>(e.end()));
    if (!inside(alg, tbs, b) || alg.tag != 0x30) return false;
    Element oid = element(b, alg.start);
    if (!inside(oid, alg, b) || oid.tag != 0x06 || oid.length == 0) return false;
    Element issuer = element(b, static_cast<std::size_t>(alg.end()));
    return inside(issuer, tbs, b) && issuer.tag == 0x30;
}

std::string certificate_kind(const HexImage&, Context& ctx) {
    std::string_view b = head_of(ctx);
    Element tbs = element(b, element(b, 0).start);
    Element v = element(b, tbs.start);
    unsigned version = v.tag == 0xA0 ? bytes::u8(b, v.start + 2) + 1 : 1;
    ctx.detail = "X.509 certificate, version " + std::to_string(version);
    return "der,cer,crt";
}

// PKCS#12: SEQUENCE { INTEGER 3, ContentInfo { OID data or signedData ... } ... }.
bool pkcs12(const HexImage&, const Context& ctx) {
    std::string_view b = head_of(ctx);
    Element pfx = element(b, 0);
    if (!pfx.ok || pfx.tag != 0x30) return false;
    if (!pfx.open && pfx.end() > probe_of(ctx).size()) return false;
    if (!bytes::at(b, pfx.start, "\x02\x01\x03")) return false;
    Element info = element(b, pfx.start + 3);
    if (!inside(info, pfx, b) || info.tag != 0x30) return false;
    return bytes::at(b, info.start, "\x06\x09\x2A\x86\x48\x86\xF7\x0D\x01\x07") &&
           (bytes::u8(b, info.start + 10) == 1 || bytes::u8(b, info.start + 10) == 2);
}

// ---- OpenPGP ---------------------------------------------------------------------

// The first packet's tag and body (what the head holds of it).
struct Packet {
    int tag = -1;
    std::string_view body;
};

Packet first_packet(std::string_view b) {
    Packet p;
    unsigned b0 = bytes::u8(b, 0);
    if (!(b0 & 0x80) || b.size() < 3) return p;
    std::size_t header = 0;
    std::uint64_t length = 0;
    if (b0 & 0x40) {
        p.tag = static_cast<int>(b0 & 0x3F);
        unsigned l = bytes::u8(b, 1);
        if (l < 192) header = 2, length = l;
        else if (l < 224) header = 3, length = ((l - 192) << 8) + bytes::u8(b, 2) + 192;
        else if (l == 255) header = 6, length = bytes::be32(b, 2);
        else header = 2, length = std::uint64_t{1} << (l & 0x1F);  // partial: the first part
    } else {
        p.tag = static_cast<int>((b0 >> 2) & 0x0F);
        switch (b0 & 3) {
            case 0: header = 2, length = bytes::u8(b, 1); break;
            case 1: header = 3, length = bytes::be16(b, 1); break;
            case 2: header = 5, length = bytes::be32(b, 1); break;
            default: header = 1, length = b.size() - 1; break;
        }
    }
    if (header >= b.size() || length == 0) return {};
    p.body = b.substr(header, static_cast<std::size_t>(std::min<std::uint64_t>(length, b.size() - header)));
    return p;
}

bool key_algorithm(unsigned a) { return a == 1 || a == 2 || a == 3 || (a >= 16 && a <= 22) || (a >= 25 && a <= 28); }
bool hash_algorithm(unsigned a) { return (a >= 1 && a <= 3) || (a >= 8 && a <= 14); }
bool signature_type(unsigned t) {
    return t <= 2 || (t >= 0x10 && t <= 0x13) || t == 0x18 || t == 0x19 || t == 0x1F || t == 0x20 || t == 0x28 ||
           t == 0x30 || t == 0x40 || t == 0x50;
}

std::string openpgp_kind(const HexImage&, Context& ctx) {
    Packet p = first_packet(head_of(ctx));
    std::string_view s = p.body;
    unsigned version = bytes::u8(s, 0);
    switch (p.tag) {
        case 5: case 6:  // secret / public key
            if (version >= 4 && version <= 6 && s.size() >= 6 && key_algorithm(bytes::u8(s, 5))) {
                ctx.detail = p.tag == 6 ? "OpenPGP public key" : "OpenPGP secret key";
                return "gpg,pgp,key";
            }
            break;
        case 2:  // signature
            if (((version == 4 || version == 5 || version == 6) && s.size() >= 4 && signature_type(bytes::u8(s, 1)) &&
                 key_algorithm(bytes::u8(s, 2)) && hash_algorithm(bytes::u8(s, 3))) ||
                (version == 3 && s.size() >= 17 && bytes::u8(s, 1) == 5 && signature_type(bytes::u8(s, 2)))) {
                ctx.detail = "OpenPGP signature";
                return "sig,gpg,pgp";
            }
            break;
        case 1:  // public-key encrypted session key
            if (version == 3 && s.size() >= 10 && key_algorithm(bytes::u8(s, 9))) {
                ctx.detail = "OpenPGP encrypted message";
                return "gpg,pgp";
            }
            break;
        case 3:  // symmetric-key encrypted session key
            if ((version == 4 && s.size() >= 3 && bytes::u8(s, 1) >= 1 && bytes::u8(s, 1) <= 13 &&
                 (bytes::u8(s, 2) <= 1 || bytes::u8(s, 2) == 3))) {
                ctx.detail = "OpenPGP encrypted message";
                return "gpg,pgp";
            }
            break;
        case 4:  // one-pass signature
            if (version == 3 && s.size() >= 13 && signature_type(bytes::u8(s, 1)) && hash_algorithm(bytes::u8(s, 2)) &&
                key_algorithm(bytes::u8(s, 3))) {
                ctx.detail = "OpenPGP signed message";
                return "gpg,pgp";
            }
            break;
        case 8:  // compressed data: ZIP, ZLIB or BZip2, with a sane first block
            if (version >= 1 && version <= 3 && s.size() >= 2 &&
                (version == 3 ? bytes::at(s, 1, "BZh") : version == 2 ? (bytes::u8(s, 1) & 0x0F) == 8
                                                                      : (bytes::u8(s, 1) & 0x06) != 0x06)) {
                ctx.detail = "OpenPGP message (compressed)";
                return "gpg,pgp";
            }
            break;
        default: break;
    }
    return {};
}

}  // namespace

const Table& keys_table() {
    static const Table rows = {
    // row     tests                                                        answer
    {"kdbx",   {at(0, "03D9A29A67FB4BB5")},                                "kdbx",  {detail("KeePass database (2.x)")}},
    {"kdb",    {at(0, "03D9A29A65FB4BB5")},                                "kdb",   {detail("KeePass database (1.x)")}},
    {"cert",   {at_one_of(0, {"3081", "3082", "3083", "3084"}), when(certificate)}, certificate_kind},
    {"p12",    {at_one_of(0, {"3080", "3081", "3082", "3083", "3084"}), when(pkcs12)}, "p12,pfx",
                                                                            {detail("PKCS #12 key store")}},
    {"pgp",    {at_one_of(0, {"C1", "C2", "C3", "C4", "C5", "C6", "C8", "84", "85", "86", "87", "88", "89", "8A",
                              "8B", "8C", "8D", "8E", "8F", "90", "91", "92", "93", "94", "95", "96", "97", "98",
                              "99", "9A", "9B", "A0", "A1", "A2", "A3"})},  openpgp_kind},
    {"kbx",    {at(4, "01"), at(8, "4B425866")},                           "kbx",   {detail("GnuPG keybox")}},
    };
    return rows;
}

}  // namespace zarvo::current
