#pragma once

#include <QString>

namespace kilvaro {

class TDaten_A;

/// The commands of the place-list window without the window.
class PlaceListOperations {
public:
    explicit PlaceListOperations(TDaten_A& daten);

    /// Adds the place to the place list and an empty amount for it to every tariff version,
    /// whatever filter the shared version table carries, in one transaction. The text is
    /// taken as it stands. Ortslistetab moves to the new place.
    void addPlace(const QString& place);
    /// Deletes the current row of the place list only; the tariff versions keep their rows.
    void deleteCurrentPlace();
    /// The status text "<n> Orte".
    QString statusText() const;

private:
    void reread(bool toNewPlace);
    TDaten_A& m_daten;
};

} // namespace kilvaro
