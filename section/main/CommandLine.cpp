// The command line's usage text, the choice of the command by its first
// word (the commands themselves in CommandLine*.cpp), and the check for a
// display before the editor's window is made.

#include "section/main/CommandLine.h"

#include "section/main/CommandLine_p.h"
#include "section/survey/formats/DataFormats.h"

namespace lp {

using namespace commandline;

QString CommandLineUsage()
{
    return QStringLiteral(
        "Usage: lithoprism [SECTION.sec] [-ns]\n"
        "       lithoprism --export-model OUT.geo SECTION.sec\n"
        "       lithoprism --forward OUT.dat SECTION.sec [options]\n"
        "       lithoprism --invert OUT.csv MEASURED [options]\n"
        "       lithoprism --fit OUT.sec SECTION.sec --data MEASURED [options]\n"
        "       lithoprism --timelapse OUT_PREFIX DATA1 DATA2 [DATA3 ...] [options]\n"
        "       lithoprism --invert-lines OUTDIR LINE1 [LINE2 ...] [options]\n"
        "       lithoprism --help\n"
        "\n"
        "Without options the section editor opens, with the section file named (if any).\n"
        "\n"
        "  -ns, /ns        start without the splash window\n"
        "  --export-model OUT.geo SECTION.sec\n"
        "                  write the section's model as a Gmsh geometry OUT.geo and the\n"
        "                  table of its regions OUT.csv (tag, body, ring, label,\n"
        "                  resistivity, polarizability, area), then exit; no window is\n"
        "                  opened. Mesh it with: gmsh -2 OUT.geo\n"
        "  --forward OUT.dat SECTION.sec [options]\n"
        "                  compute what a resistivity / induced-polarization survey over\n"
        "                  the section would measure and write it in the unified data\n"
        "                  format (a b m n k rhoa, and ip in mV/V when a region is\n"
        "                  polarizable, phi in mrad when a region has a phase: the\n"
        "                  voltage's apparent phase, negative when polarizable;\n"
        "                  OUT.csv: a table, ip_percent in per cent, phi_mrad), then\n"
        "                  exit; no window is opened. Options:\n"
        "    --phase           write phi even when no region has a phase (then 0\n"
        "                      throughout, said on standard error)\n"
        "    --array dipole-dipole|wenner|schlumberger   (default dipole-dipole)\n"
        "    --electrodes N    number of electrodes (default 48)\n"
        "    --spacing A       electrode spacing (default: spread over the model area's\n"
        "                      width, one spacing in from each side)\n"
        "    --first X         position of the first electrode\n"
        "    --levels L        levels n = 1 .. L (default 6)\n"
        "    --array crosshole|surface-hole|single-hole   electrodes in boreholes:\n"
        "                      crosshole between two holes (AB-MN, AM-BN and\n"
        "                      pole-bipole), surface-hole a surface line (--electrodes,\n"
        "                      --spacing, --first) and one hole, single-hole one hole\n"
        "                      alone; dipoles of 1 to 3 spacings\n"
        "    --holes X1,X2     the holes' x (one for surface-hole and single-hole)\n"
        "    --hole-electrodes N   electrodes per hole (default 12; 3 at least for\n"
        "                      single-hole); holes closer than a tenth of\n"
        "                      --hole-spacing are refused\n"
        "    --hole-spacing A  their spacing down the hole, the first A below the\n"
        "                      surface (default 1)\n"
        "    --max-geometric-factor K   configurations whose geometric factor over a\n"
        "                      flat ground exceeds K m are dropped and counted\n"
        "                      (default 5000)\n"
        "    --scheme FILE     electrodes and configurations from a unified data file;\n"
        "                      an electrode whose z lies below the section's surface\n"
        "                      (by more than a tenth of the smallest distance between\n"
        "                      electrodes) is buried there, in a hole or under water;\n"
        "                      the others stand on the surface (said in a warning when\n"
        "                      the file's elevations differ from it by more)\n"
        "    --data MEASURED   compute at the configurations of a measured data file\n"
        "                      (any format --format names; poles included) and\n"
        "                      compare (its ip is a chargeability in mV/V; phases,\n"
        "                      ip/mrad or phi, are read but not compared; data that\n"
        "                      cannot be used are skipped and counted, so are those\n"
        "                      computed at 0 ohm-m or below, named by line): OUT.csv\n"
        "                      is the comparison table (a,b,m,n,\n"
        "                      xa,xb,xm,xn,k,rhoa,ip,rhoa_measured,ip_measured,error,\n"
        "                      misfit; ip, error and misfit in per cent), another name\n"
        "                      the computed data; the last line printed is\n"
        "                      \"N data (M skipped): rrms X %, chi-square Y\" (and\n"
        "                      \", ip rms Z %\" with chargeability)\n"
        "                      Its electrodes below the section's surface are buried\n"
        "                      there as --scheme's; read without a section, a file's\n"
        "                      highest electrode at each x (a hole's top) stands on\n"
        "                      the surface and those below it are buried\n"
        "    --error PERCENT   relative error of data whose file gives none (default 3)\n"
        "    --voltage-error V   absolute voltage error (volts) added to it where the\n"
        "                      file gives voltages: p/100 + V/|U| (default 0)\n"
        "    --format unified|res2dinv   the measured file's format (default: told\n"
        "                      from its content)\n"
        "    --drop-negative   remove the data whose apparent resistivity is 0 or below\n"
        "                      (first of the cleaning steps); without it they are\n"
        "                      left out all the same (no computation takes them), with\n"
        "                      a warning naming the first one's line\n"
        "    --turn-polarity   turn the data whose sign disagrees with their\n"
        "                      configuration's geometric factor (rhoa below 0: an\n"
        "                      instrument that records no polarity for some arrays)\n"
        "                      to its sign, before the other steps; their chargeability\n"
        "                      or phase stays. Prints \"turn-polarity: N data turned ...\".\n"
        "                      A file whose resistances are all 0 or above while some\n"
        "                      configurations' factors are below 0 holds magnitudes:\n"
        "                      its data are turned as they are read, with a warning\n"
        "    --electrode-positions FILE.csv   the electrodes' true places in place of\n"
        "                      the data file's nominal ones: one line per electrode,\n"
        "                      [number or label,] x, [y,] z, [buried] (a header line\n"
        "                      naming them, or told from the values' count; without a\n"
        "                      number the lines are electrodes 1, 2, ... along the\n"
        "                      line). y: x and y on a map, the distance along the line\n"
        "                      taken; buried 1: below the surface, which runs between\n"
        "                      the electrodes marked 0. k and rhoa follow the new\n"
        "                      places. Prints \"electrode-positions: N electrodes\n"
        "                      placed ...\"; an electrode of the data the file lacks is\n"
        "                      refused by its number\n"
        "    --drop-reciprocal PERCENT   remove both data of each reciprocal pair (A,B\n"
        "                      and M,N exchanged, either polarity) whose resistances\n"
        "                      differ by more than PERCENT of their mean\n"
        "    --reciprocal-error   fit |dR| = a + b |R| to the reciprocal pairs and take\n"
        "                      it as the error of their data (instead of --error; a\n"
        "                      file's own err stays; at least 0.1 %, with a warning)\n"
        "    --drop-outliers K   remove data whose ln rhoa lies more than K scaled\n"
        "                      median absolute deviations from the median of their 8\n"
        "                      nearest neighbours in the pseudo-section, and leave out\n"
        "                      the IP values so far from their neighbours' (the data\n"
        "                      kept); IP values beyond 10 are left out whenever a file\n"
        "                      is read\n"
        "                      (each cleaning step prints what it removed or fitted on\n"
        "                      standard error: \"drop-outliers: N data removed\")\n"
        "    --host-resistivity R   the host medium's resistivity (ohm-m) when the\n"
        "                      section sets none\n"
        "  --invert OUT.csv MEASURED [options]\n"
        "                  invert a measured data file (any format --format names)\n"
        "                  for the resistivity (and, with IP data, the chargeability) of\n"
        "                  the cells of a mesh that follows the ground surface, and write\n"
        "                  one row per cell: x1,x2,z1,z2,resistivity,chargeability,coverage\n"
        "                  (z the depth below the surface at the cell; chargeability in\n"
        "                  per cent, empty without IP data; coverage 0 .. 1; with --doi\n"
        "                  a last column doi), then exit; no window is opened.\n"
        "                  OUT.vtk instead: the cells as a VTK unstructured grid\n"
        "                  (quadrilaterals over x and elevation; cell data\n"
        "                  resistivity, chargeability, coverage, doi as computed);\n"
        "                  OUT.xyz: lines \"x elevation resistivity\" on a grid at\n"
        "                  half the smallest cell's width and height, points inside\n"
        "                  the cells only, after a \"#\" line naming the columns.\n"
        "                  Prints \"iteration I: chi-square X, rrms\n"
        "                  Y %, lambda L\" per iteration, \"stopped: WHY\" and last\n"
        "                  \"inverted: N cells, chi-square X, rrms Y %\"; when not one\n"
        "                  iteration could be taken (and the start does not explain\n"
        "                  the data) it says why, writes nothing and exits with 1.\n"
        "                  An electrode more than 50 median spacings from its\n"
        "                  neighbour, or as far above or below the survey's other\n"
        "                  heights (its elevation, the ground over a buried one),\n"
        "                  is refused, naming its line.\n"
        "                  Buried electrodes (in holes, under water) stay at their\n"
        "                  depth: without --section the highest electrode at each x\n"
        "                  stands on the surface, and the cells then follow the\n"
        "                  spacing down the holes (half of it, growing below the\n"
        "                  deepest electrode) and reach three spacings below it.\n"
        "                  Options:\n"
        "    --section SECTION.sec   the model area and relief from the section (without\n"
        "                      it: the electrodes' span padded by two spacings, with the\n"
        "                      file's topography). Its bodies marked as water are held\n"
        "                      at their water resistivity (else their resistivity): the\n"
        "                      cells whose centres lie in them start there and stay\n"
        "                      there. Prints \"held: N cells\" when any are held\n"
        "    --fixed LABEL,...   with --section: hold these regions as drawn (their\n"
        "                      cells at the region's resistivity); LABEL as for --fit.\n"
        "                      A region holding no cell's centre is said\n"
        "    --constrain       no smoothing across the section's lines and boundaries\n"
        "    --boundary-weight W  with --constrain: the smoothing kept across them, 0 (none, the\n"
        "                      default) to 1 (as if not drawn)\n"
        "    --well-logs LIST.crt  resistivity logs (a well-log list) as data of the\n"
        "                      cells they cross; a sample of 0 or below, or no number,\n"
        "                      is refused naming its file and line; a well beyond the\n"
        "                      cells is left out, said in a warning\n"
        "    --log-error PERCENT  with --well-logs: the logs' relative error at the\n"
        "                      well (default 20)\n"
        "    --log-reach SPACINGS  with --well-logs: how far along the line a log\n"
        "                      stands for the ground, in electrode spacings (default\n"
        "                      6; 0 to 1000): the cells of the\n"
        "                      columns within it take the log's values at their depth\n"
        "                      below the surface as data, their error growing with the\n"
        "                      distance from the well (x1.6 at half the reach, x7.4 at\n"
        "                      it); 0: the well's column alone\n"
        "    --start-from-section   start from the section's resistivities (default: the\n"
        "                      data's median apparent resistivity everywhere)\n"
        "    --error PERCENT   relative error of data whose file gives none (default 3)\n"
        "    --lambda L        the first regularisation strength, 0.0001 to 1e6\n"
        "                      (default 20)\n"
        "    --z-weight W      vertical against horizontal smoothness (default 1)\n"
        "    --reference-weight W   also pull each cell toward the starting model\n"
        "                      (--start-from-section: the section's values) with W\n"
        "                      times the smoothness's strength, per cell area (default\n"
        "                      0: no pull)\n"
        "    --doi             add the depth of investigation per cell (two more\n"
        "                      inversions toward a ground 10 times below and above\n"
        "                      the start, taking up to 1.5 times as long again): 0\n"
        "                      where the data decide the cell, toward 1 where the\n"
        "                      start does; beyond 0.2 read the image as a guess.\n"
        "                      Prints \"depth of investigation: N of M cells below 0.2\"\n"
        "    --blocky          sharp boundaries: the roughness measured by its L1 norm\n"
        "                      (each neighbour pair's smoothing weighted by 1 over its\n"
        "                      ln-resistivity step, at least --blocky-epsilon, anew each\n"
        "                      iteration): layers and bodies end in steps, not ramps\n"
        "    --blocky-epsilon E   with --blocky: the ln-resistivity step below which\n"
        "                      the ground counts as smooth (default 0.02, a 2 % change)\n"
        "    --robust          robust to bad data: a datum more than 2 errors off the\n"
        "                      response weighs 1/sqrt(misfit/2) of its weight, anew each\n"
        "                      iteration (the misfit's L1 norm beyond 2 errors); chi-square\n"
        "                      is still on the data's own errors, printed as \"chi-square\n"
        "                      X (Y over the N data not down-weighted)\"\n"
        "    --iterations N    at most N iterations (default 20)\n"
        "    --format unified|res2dinv   the measured file's format (default: told\n"
        "                      from its content)\n"
        "    --ip-is-phase     a unified file's bare ip column holds phases in mrad, not\n"
        "                      chargeabilities (their magnitude when most are above 0)\n"
        "    --phase-error MRAD   the apparent phases' absolute error where the file\n"
        "                      gives none (iperr), 0.001 to 1000 (default 0.5):\n"
        "                      data with phases add the cells' phases (a column\n"
        "                      \"phase\", mrad) inverted with the resistivity's last\n"
        "                      sensitivities. Prints which errors the phases and the\n"
        "                      chargeabilities take: \"phase errors: the file's (iperr)\n"
        "                      for N data, E mrad (--phase-error) for M\"\n"
        "    --drop-negative, --drop-reciprocal PERCENT, --reciprocal-error,\n"
        "    --drop-outliers K, --turn-polarity, --electrode-positions FILE.csv\n"
        "                      as for --forward --data\n"
        "  --fit OUT.sec SECTION.sec --data MEASURED [options]\n"
        "                  fit the regions' resistivities (and, with measured\n"
        "                  chargeabilities, their polarizabilities) to the measured\n"
        "                  data, the drawn boundaries held, and write the section with\n"
        "                  the fitted values as OUT.sec (SECTION.sec is not written),\n"
        "                  then exit. Prints \"iteration I: chi-square X, rrms Y %\" per\n"
        "                  iteration, \"stopped: WHY\" (the regions held at a bound are\n"
        "                  named when chi-square stays far above 1), then per region\n"
        "                  \"LABEL: START -> FITTED ohm-m (x/\u00f7 F)\" with F its\n"
        "                  uncertainty factor (one standard deviation, two digits of\n"
        "                  F - 1), \"LABEL: START ohm-m, not determined\" (kept) or\n"
        "                  \"LABEL: R ohm-m, fixed\", the same\n"
        "                  for polarizabilities in per cent, and the misfit line.\n"
        "                  LABEL: the region's label in the table of regions (or\n"
        "                  \"Body B ring R\" without one); the host medium is host.\n"
        "                  Options:\n"
        "    --free LABEL,...    fit only these regions (default: those the section\n"
        "                      marks free, within its bounds; every region unless set)\n"
        "    --fixed LABEL,...   keep these regions as drawn\n"
        "    --error PERCENT, --voltage-error V, --format, --host-resistivity R,\n"
        "    --drop-negative, --drop-reciprocal PERCENT, --reciprocal-error,\n"
        "    --drop-outliers K, --turn-polarity, --electrode-positions FILE.csv\n"
        "                      as for --forward (R is the host medium's start when\n"
        "                      the section sets none)\n"
        "  --timelapse OUT_PREFIX DATA1 DATA2 [DATA3 ...] [options]\n"
        "                  invert a series of surveys of one line, in time order (by\n"
        "                  the files' dates when every file gives them, else as given),\n"
        "                  for the change of the ground: the first (the baseline) as\n"
        "                  --invert does, each later one by a difference inversion\n"
        "                  against it on the same cells. The baseline's data the later\n"
        "                  files hold (the same four electrodes) take part; the others\n"
        "                  are listed per file and left out, a datum one later file\n"
        "                  lacks (or its cleaning removed) from that file's step only.\n"
        "                  Prints each survey with its date and the order used. Writes\n"
        "                  OUT_PREFIX-0.csv (x1,x2,z1,z2,resistivity,coverage) and\n"
        "                  OUT_PREFIX-K.csv for the K-th later survey\n"
        "                  (x1,x2,z1,z2,resistivity,change_percent,coverage; the change\n"
        "                  against the baseline; then change_sd_percent, its standard\n"
        "                  deviation, where the method gives one), then exits. Prints\n"
        "                  \"common data: N of N1, N2, ...\", \"step 0: chi-square X, rrms\n"
        "                  Y %\" for the baseline and per later survey \"step K:\n"
        "                  chi-square X, rrms Y %, changed beyond \u00b15 %: Z % of the\n"
        "                  well-covered cells\" (X the change's; Z of the best-covered\n"
        "                  60 % of the cells). A file whose electrodes stand\n"
        "                  elsewhere than the baseline's, or of which fewer than half\n"
        "                  the data are common to all, is refused by name.\n"
        "                  Options: those of --invert but --doi, --well-logs,\n"
        "                  --log-error, --log-reach, --blocky, --blocky-epsilon and\n"
        "                  --robust, and:\n"
        "    --change-error PERCENT  the relative error of a datum's change between\n"
        "                      two surveys, 0.0001 to 1000 (default: from the two\n"
        "                      surveys' errors). A series inverts no phases: a file\n"
        "                      with phases is named in a warning\n"
        "  --invert-lines OUTDIR LINE1 [LINE2 ...] [options]\n"
        "                  invert several lines of one site, each a measured file whose\n"
        "                  electrodes stand on the map (unified x y z, GPS columns), each\n"
        "                  along its track (a bent line by its arc length) as --invert\n"
        "                  does, then tie the images where the tracks cross (each line\n"
        "                  one step toward the two images' common column there), and\n"
        "                  write into OUTDIR (made; its parent must exist): NAME.csv per\n"
        "                  line (as --invert writes it; NAME its file's name without\n"
        "                  suffix; x the distance along the track, z the depth),\n"
        "                  fence.csv (line,distance,depth,x,y,z,resistivity,coverage: every\n"
        "                  cell at its map point, z its elevation), volume.csv\n"
        "                  (x,y,z,depth,resistivity: the volume between the lines) and\n"
        "                  slice-D.csv per depth asked (x,y,z,resistivity). Prints \"line\n"
        "                  NAME: N data, chi-square X, rrms Y %\" per line and \"crossing\n"
        "                  NAME1 NAME2 at X Y\" per crossing. Refused, naming the file,\n"
        "                  with nothing written: a line without map coordinates or of\n"
        "                  one electrode, two lines of one name, a line whose spacing is\n"
        "                  3.28 times the site's (feet among metres: the files declare\n"
        "                  no unit), a line far from the others (over 1 km and 5 line\n"
        "                  lengths: another coordinate system). Options:\n"
        "    --slice-depths D1,D2,...   horizontal slices D metres below the ground\n"
        "                      (slice-D.csv, D as typed)\n"
        "    --vtk FILE.vtk    the volume as a VTK grid (points in map coordinates and\n"
        "                      elevation, a resistivity array), for ParaView\n"
        "    --doi             the coverage from each line's depth of investigation\n"
        "                      (as --invert --doi; 1 to 0.2, none from 0.5)\n"
        "    --error, --lambda, --z-weight, --reference-weight, --iterations,\n"
        "    --blocky, --blocky-epsilon, --robust, --format, --ip-is-phase,\n"
        "    --phase-error, --drop-negative, --drop-reciprocal, --reciprocal-error,\n"
        "    --drop-outliers, --turn-polarity   as for --invert, for every line\n"
        "                      (--section, --fixed, --constrain, --well-logs and\n"
        "                      --electrode-positions belong to one line: refused)\n"
        "  --help          print this text and exit\n"
        "\n"
        "A file to write that is one of the files read (by any path) is refused.")
        .replace(QStringLiteral("--format unified|res2dinv   "),
                 QStringLiteral("--format %1\n                      ").arg(QString::fromStdString(MeasuredFormatNames("|"))));
}

std::optional<int> RunCommandLine(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    const QString first = Arguments.value(0);
    if (first == QStringLiteral("--help") || first == QStringLiteral("-h")) {
        PrintLine(Out, CommandLineUsage());
        return 0;
    }
    if (first == QStringLiteral("--export-model"))
        return ExportModelCommand(Arguments, Errors);
    if (first == QStringLiteral("--forward"))
        return ForwardCommand(Arguments, Out, Errors);
    if (first == QStringLiteral("--invert"))
        return InvertCommand(Arguments, Out, Errors);
    if (first == QStringLiteral("--fit"))
        return FitCommand(Arguments, Out, Errors);
    if (first == QStringLiteral("--timelapse"))
        return TimeLapseCommand(Arguments, Out, Errors);
    if (first == QStringLiteral("--invert-lines"))
        return InvertLinesCommand(Arguments, Out, Errors);
    // The editor takes a section file and -ns; a word that looks like an
    // option is a mistyped command, not a file to open.
    for (const QString& argument : Arguments) {
        if (!argument.startsWith(QStringLiteral("--")))
            continue;
        const bool command = argument == QStringLiteral("--help") || argument == QStringLiteral("--export-model") ||
                             argument == QStringLiteral("--forward") || argument == QStringLiteral("--invert") ||
                             argument == QStringLiteral("--fit") || argument == QStringLiteral("--timelapse") ||
                             argument == QStringLiteral("--invert-lines");
        PrintLine(Errors, (command ? QStringLiteral("lithoprism: %1 comes first on the command line")
                                   : QStringLiteral("lithoprism: unknown option %1"))
                              .arg(argument) +
                              QStringLiteral(" (see lithoprism --help)"));
        return 2;
    }
    const QString missing = MissingDisplay(QProcessEnvironment::systemEnvironment(), Arguments);
    if (!missing.isEmpty()) {
        PrintLine(Errors, QStringLiteral("lithoprism: no display to show the editor on (%1); use xvfb-run, or "
                                         "--forward / --export-model for work without a window.")
                              .arg(missing));
        return 1;
    }
    return std::nullopt;
}

QString MissingDisplay(const QProcessEnvironment& Environment, const QStringList& Arguments)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // The platform Qt would load: "-platform NAME", else QT_QPA_PLATFORM
    // (its first entry, options after ":" not part of the name).
    QString platform = Environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    const qsizetype option = Arguments.indexOf(QStringLiteral("-platform"));
    if (option >= 0 && option + 1 < Arguments.size())
        platform = Arguments[option + 1];
    platform = platform.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0).trimmed();
    const bool x11 = !Environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const bool wayland = !Environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (platform == QStringLiteral("xcb"))
        return x11 ? QString() : QStringLiteral("DISPLAY is not set");
    if (platform.startsWith(QStringLiteral("wayland")))
        return wayland ? QString() : QStringLiteral("WAYLAND_DISPLAY is not set");
    // offscreen, minimal, vnc, eglfs, linuxfb, ...: no display server needed.
    if (!platform.isEmpty() || x11 || wayland)
        return {};
    return QStringLiteral("DISPLAY is not set");
#else
    Q_UNUSED(Environment);
    Q_UNUSED(Arguments);
    return {};
#endif
}

} // namespace lp
