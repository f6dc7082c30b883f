// The current-formats layer: tables of today's kinds, asked before the classic
// chain when option bit 16 is set. It answers only where its tests really
// tell the kind; otherwise the classic chain answers as it always has.
//
// The layer's tables are written in the classic vocabulary (rules::Row and
// rules::Table) over the probe's image (the head's first kImageBytes bytes),
// with the entries of vocabulary.hpp for tests that read further through the
// probe. Computing rows (walking boxes, elements, directory entries) are
// functions next to their group's table. A group's kinds are described in
// its catalogue file (engine/current/catalogue/GROUP.txt).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "context.hpp"
#include "current/probe.hpp"
#include "rules.hpp"

namespace zarvo::current {

struct Group {
    std::string_view name;
    const rules::Table& (*table)();
};

// The groups in the order they are asked.
std::span<const Group> groups();

// The layer's candidate list for the probe (empty text when it does not
// know the kind); a row may set ctx.detail. `ctx.probe` is set for the call.
std::string identify(Probe& probe, Context& ctx);

// The groups' tables, one source each (engine/current/GROUP.cpp).
const rules::Table& media_table();      // ISO base media, JPEG 2000 / XL, Matroska, RIFF, Ogg
const rules::Table& audio_table();      // flac, mp3 frames, ADTS, AMR, DSD, WavPack, ...
const rules::Table& images_table();     // webp, qoi, exr, hdr, dds, ktx, raw photos, ...
const rules::Table& archives_table();   // 7z, xz, zst, tar, cpio, ar, rpm, iso, dmg, ...
const rules::Table& packages_table();   // ZIP packages by their entries, OLE by their streams
const rules::Table& programs_table();   // ELF, Mach-O, PE, wasm, class, dex, pyc, ...
const rules::Table& data_table();       // sqlite, parquet, hdf5, pcap, plist, ...
const rules::Table& documents_table();  // pdf, ps, djvu, chm, mobi
const rules::Table& fonts_table();      // otf, ttf, ttc, woff, woff2, eot
const rules::Table& disks_table();      // qcow2, vmdk, vhdx, vdi, vhd, file systems, MBR/GPT
const rules::Table& keys_table();       // DER certificates, PKCS#12, OpenPGP, kdbx
const rules::Table& text_table();       // text kinds, last

}  // namespace zarvo::current
