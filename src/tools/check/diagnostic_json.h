// `check --format=json` and `--format=sarif`: the diagnostics as JSON that
// other programs read, written as they are found.
//
// json: one array in the form of gcc's JSON diagnostics (kind, message,
// option, locations with a caret at column 1 of the line).
//
// sarif: a SARIF 2.1.0 log of one run, as code-scanning services take it:
// the tool with a rule for every kind of diagnostic, whether it occurs or
// not; each result with its rule, level, message, the file as it was named
// (a relative URI) and the whole line as its region, and a fingerprint made
// of its rule and its text less the places it names, so that it keeps its
// identity when lines move.
#pragma once

#include <memory>

#include "files/output_stream.h"
#include "tools/check/world_check.h"

namespace rb {

std::unique_ptr<DiagnosticSink> gccJsonDiagnostics(OutputStream& out);
std::unique_ptr<DiagnosticSink> sarifDiagnostics(OutputStream& out);

// The fingerprint of a diagnostic without its occurrence: its rule and its
// text, less every "at line N" and "at FILE:N" it holds.
std::string diagnosticFingerprint(std::size_t rule, std::string_view text);

// A file name as a URI reference: relative names stay relative (their
// bytes outside the letters, digits and "-._~/" as %XX), absolute ones
// become file:// URIs.
std::string fileUri(std::string_view name);

}  // namespace rb
