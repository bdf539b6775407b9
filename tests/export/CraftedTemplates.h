#pragma once

#include "ZipBytes.h"

#include <QString>
#include <functional>
#include <vector>

// Templates made to break the export, as edits of the shipped template's
// parts: the test checks each is refused or exported at once, the
// benchmark measures their time and memory.
struct CraftedTemplate {
    const char* name;
    std::function<void(std::vector<ZipEntry>&)> edit;
    const char* said = ""; // in the reason of a refusal
};

// Sizes that lie, bombs, parts named twice or missing, other encodings.
std::vector<CraftedTemplate> RefusedTemplates();
// Parts nested or listed by the ten thousand, in a small file.
std::vector<CraftedTemplate> CrowdedTemplates();

// The entry of that name, added empty when missing.
ZipEntry& EntryOf(std::vector<ZipEntry>& entries, const QString& name);
// Edits the text of the main document part.
void EditMain(std::vector<ZipEntry>& entries, const std::function<void(QString&)>& edit);
extern const QString kMainPart;

// The package of `base` (a template) with `crafted` applied to its parts.
QByteArray CraftedBytes(const QString& base, const CraftedTemplate& crafted);
