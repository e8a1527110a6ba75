// Writing a DemoYear as a database folder, in the file formats the program
// reads: the database settings, the chart file, the annual and working
// journal files, the VAT registers with their description and summary files,
// and the taxpayer files.
//
// Every file is written beside its final name and renamed over it, so an
// interrupted run leaves whole files (old or new), never a part. Journal
// files go out in blocks of 4000 records. The caller sets up the Zel folder
// (the settings writer creates "#" there when it has to), and nothing here
// touches the workstation settings unless WriteStationSettings is called.
#pragma once

#include <string>
#include <string_view>

#include "app/demo.hpp"

namespace zel {

// Summary files of the VAT registers ("SETUP\RSV-SUM", "SETUP\RZV-SUM"):
// a line starting with this marker lists letters up to the first space,
// then the text of the summary row.
inline constexpr char kVatSummaryMarker = '*';

// The chart file's name in the database folder ("PlanKont", as the program
// takes an empty chart name).
inline constexpr std::string_view kDemoChartName = "PlanKont";

// Writes the year into the folder `db_dir` (a Zel path ending in "\"),
// creating it when missing. DbDir and StationExt are set for the time of the
// call (and put back). False with a Polish message in *err when a file could
// not be written.
bool WriteDemoYear(const DemoYear& year, std::string_view db_dir, std::string* err);

// Points the workstation settings "#\Zel.BAL" of this workstation at the
// folder (`DirxBaza` = folder; chart name) and writes the VAT description and
// summary files into "SETUP\" of the Zel folder when they are missing there.
// The folder is written relative to the Zel folder when it lies inside it.
// False with a Polish message when the folder's name is too long for a
// setting's value.
bool WriteStationSettings(std::string_view db_dir, std::string* err);

// The texts of the four VAT description and summary files (Windows-1250,
// CR LF), by their names below "SETUP\".
std::string VatDescriptionText(char kind);
std::string VatSummaryText(char kind);

// The taxpayer header "Podmiot1.TXT" of the JPK files (Windows-1250, CR LF).
std::string Podmiot1Text(const DemoFirm& firm);

}  // namespace zel
