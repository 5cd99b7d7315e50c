// The comment that names an art object before its element.
#pragma once

#include "xaml/output.h"

// Writes "\n\n  <!-- name -->". The name is kept as the host gave it except where it would
// break the comment or the file's UTF-8: each "--" gets a blank between its hyphens, and each
// byte of an invalid UTF-8 sequence and each control character other than tab, line feed and
// carriage return becomes "?".
void WriteNameComment(XamlOutput* out, const char* name);
