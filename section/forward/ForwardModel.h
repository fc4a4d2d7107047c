#pragma once
// The ground of a forward computation: the section's model as regions of
// constant resistivity and polarizability, and its ground surface.
//
// Coordinates are those of the model geometry (section/model/ModelGeometry.h):
// x is the distance, y is minus the depth (the elevation, up positive).
// Resistivities are in ohm-metres; a polarizability is kept here as a
// fraction (the section's per cent / 100).
//
// The first stage of the computation (see ForwardResponse.h): the model is
// partitioned by BuildModelGeometry and every region that holds ground gets
// its parameters. Refused with EForwardError and a message naming the fault
// (and the region: its label, body and ring): a model that breaks the
// section model's rules, a region without a resistivity, a resistivity that
// is not a finite number above 0, a polarizability outside 0 up to (not
// including) 100 %.

#include "platform/base/Exception.h"
#include "section/survey/ModellingError.h"
#include "section/survey/MeasuredData.h"
#include "section/survey/Survey.h"
#include "section/model/ModelGeometry.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lp {

// A computation stopped by its caller between two stages or wavenumbers.
class EForwardCancelled : public Exception {
public:
    using Exception::Exception;
};

struct TForwardRegion {
    double resistivity = 1.0;    // ohm-m
    double polarizability = 0.0; // fraction, 0 .. 1
    double phase = 0.0;          // mrad, the voltage's phase of the ground (negative when polarizable)
};

struct TForwardModel {
    // The partition; Regions[i] holds the parameters of Geometry.Regions[i].
    TModelGeometry Geometry;
    std::vector<TForwardRegion> Regions;
    // The ground surface from the model area's left side to its right side:
    // the upper part of the frame, x strictly increasing.
    std::vector<TGeometryPoint> Surface;
    double Left = 0.0, Right = 0.0; // x of the model area's sides
    double Bottom = 0.0;            // y of the model area's bottom
    bool HasRelief = false;         // the surface is not one horizontal line
    bool HasPolarizability = false; // some region has a polarizability above 0
    bool HasPhase = false;          // some region has a phase other than 0
};

// The ground of a section model. HostResistivity stands for the host
// medium's resistivity when its ring sets none (the ring's value wins).
TForwardModel PrepareForwardModel(const AllSpolygon& Model, const Tnodes& Nodes, const TModelArea& Area,
                                  std::optional<double> HostResistivity = std::nullopt);

// The surface's elevation at x (linear between its points; level beyond
// Left .. Right).
double SurfaceElevation(const TForwardModel& Ground, double X);
// The same along any surface line (points by rising x); 0 for an empty
// line.
double SurfaceElevation(const std::vector<TGeometryPoint>& Surface, double X);

// The first electrode beyond the model area's width (a billionth of the
// width allowed); none when all stand within it.
std::optional<int> ElectrodeOutsideArea(const std::vector<TElectrode>& Electrodes, const TForwardModel& Ground);
// Two electrodes, the lower number first, whose x on the surface, y
// across the line and z (as placed: buried electrodes at one x and
// different depths stand apart) all lie within that tolerance; none when all stand
// apart. Electrodes at one x and different y (a remote set out square from
// a line electrode) stand apart: they share a point of the section's plane
// (one source of the 2.5-D problem) and differ in cos(k Δy).
std::optional<std::pair<int, int>> ElectrodesAtOnePlace(const std::vector<TElectrode>& Electrodes,
                                                        const TForwardModel& Ground);

// The electrodes as the computation places them: x within the model
// area's width; where the survey has elevations, an electrode lying below
// the surface at its x by more than BuriedShare of the smallest distance
// between electrodes in the section's plane is buried there (its z kept,
// Depth its distance below the surface); every other electrode (all of a
// survey without elevations) stands on the surface (z from
// SurfaceElevation, Depth 0): the section's surface decides.
std::vector<TElectrode> PlacedElectrodes(std::vector<TElectrode> Electrodes, bool HasElevations,
                                         const TForwardModel& Ground);

// Places the electrodes (PlacedElectrodes) and
// checks the survey: refused are an electrode outside the model area's
// width, a buried electrode at or below the model area's bottom, two
// electrodes at one place (one x, y and z), a survey without a configuration, a
// configuration naming an electrode that does not exist, without A or M,
// or using one electrode twice.
void PlaceSurvey(TSurvey& Survey, const TForwardModel& Ground);

// Checks that the file's electrodes can stand on the ground's surface as
// the computation will stand them (PlaceSurvey), naming the file's line
// where they cannot: an electrode beyond the model area's width, two
// electrodes at one place. Raises EDataFileError.
void CheckElectrodePlaces(const TMeasuredData& Data, const TForwardModel& Ground);

// When the file gives elevations of electrodes that stand on the surface
// (buried ones left out) that differ from the ground's surface by
// more than a tenth of the smallest spacing between its electrodes: a
// sentence saying by how much (the largest difference, its electrode)
// and that the electrodes stand on the surface; none otherwise. First
// refuses, as CheckElectrodePlaces, electrodes that cannot stand there.
std::optional<std::string> ElevationMismatch(const TMeasuredData& Data, const TForwardModel& Ground);
// The same of a survey's electrodes (a scheme file's), without the check.
std::optional<std::string> ElevationMismatch(const std::vector<TElectrode>& Electrodes, bool HasElevations,
                                             const TForwardModel& Ground);

// "Clay" (body 1, ring 1), or "host medium": how messages name a region.
std::string ForwardRegionLabel(const TModelGeometry& Geometry, int Region);

} // namespace lp
