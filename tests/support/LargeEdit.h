#pragma once

class EditFlagManagement;
class RomImageData;

// Rewrites every map set, every 32x32 chip table and every object position of all sixteen
// stages with a pattern chosen by variant, and flags them all: a save then rewrites tens of
// kilobytes spread over the whole image and re-packs all object blocks. The result does not
// depend on the variant applied before, so an image saved after any sequence of variants equals
// the image saved after the last one alone.
void ApplyLargeEdit(RomImageData& rom, EditFlagManagement& flags, int variant);
