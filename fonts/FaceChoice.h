#pragma once
#include <string>

#include "fonts/FontRequest.h"

// The face file Qt's font database loads for a request on this machine,
// found through fontconfig as Qt finds it: the request's family when
// fontconfig lists it, else fontconfig's first choice for it; in that
// family, the one face of the weight and slant asked for, at normal width.
// Where that cannot be told for sure, or Qt would not take the face as it
// is (a synthetic bold or italic, a face of another width chosen for a
// stretch, fontconfig settings that hint advances or embolden), `unproven`
// says why, and no file is given.
struct FaceChoice {
    std::string file;
    int index = 0;
    std::string unproven;

    bool proven() const { return unproven.empty(); }
};

FaceChoice chooseFace(const FontRequest& request);
