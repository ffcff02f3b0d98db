#pragma once
#include "model/register_map.h"

// What each register and coil of the register map means to a technician,
// in German and English, for the register description the build writes.
namespace vor3::model {

struct RegisterNote {
    FieldArray array;
    int index;
    const char* meaning_de;
    const char* meaning_en;
    // The document's English caption where the window's, which stays as the
    // program has always shown it, is misspelt; nullptr: the window's.
    const char* caption_en = nullptr;
};

// The note of a field of the register map; throws std::out_of_range for
// one it does not have.
const RegisterNote& register_note(FieldArray array, int index);

}  // namespace vor3::model
