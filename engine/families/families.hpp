// The family tables of the chain, one source each (engine/families/NAME.cpp),
// with the computing rows beside them. A table is walked by rules::run over
// the head image: it answers an extension, a candidate list or empty text,
// and its rows may set the context's description variant and detail text.
#pragma once

#include "rules.hpp"

namespace zarvo::families {

const rules::Table& archive_table();
const rules::Table& split_table();
const rules::Table& encrypted_table();
const rules::Table& text_encoding_table();
const rules::Table& console_table();
const rules::Table& picture_table();
const rules::Table& disc_table();
const rules::Table& audio_table();
const rules::Table& video_table();
const rules::Table& checksum_lists_table();
const rules::Table& executable_table();
const rules::Table& office_table();
const rules::Table& charts_table();
const rules::Table& development_table();
const rules::Table& markup_table();
const rules::Table& system_table();
const rules::Table& app_data_table();
const rules::Table& mobile_table();
const rules::Table& misc_table();

}  // namespace zarvo::families
