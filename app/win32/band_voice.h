// What a screen reader hears of the four band labels: each named by its
// caption and its range, and spoken as a polite live region when told to.
// It changes nothing on screen and routes no other message.
#pragma once

#include <windows.h>

#include <span>

namespace kestrand::win32 {

// Makes the static label lblNumber(index) name itself to a screen reader by
// its caption and its text ("Marginal Victory (+/-): 41-80"), not by its text
// alone. Where the accessibility libraries cannot be loaded, the label keeps
// the standard object.
void voiceBandLabel(HWND label, int index);

// The band labels, in band order, each raise a live-region change, which NVDA
// and Narrator speak wherever the focus is.
void announceBandLabels(std::span<const HWND> labels);

} // namespace kestrand::win32
