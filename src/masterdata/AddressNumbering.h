#pragma once

namespace kilvaro {

class Connection;

/// The two kinds of address in ADRESSEN, by their stored Typ.
enum class AddressKind { Helper = 0, FuneralDirector = 1 };

/// Numbers new addresses. Trips and invoices find an address by ID over both kinds, and
/// the monthly run takes IDs below 1000 for funeral directors, so the kinds live in
/// separate ranges: funeral directors 1 to 999, helpers from 1000 upwards. Each kind
/// continues its own highest number; an ID an old file already gives to another address
/// is passed over.
class AddressNumbering {
public:
    static constexpr int FirstHelperId = 1000;
    static constexpr int LastFuneralDirectorId = FirstHelperId - 1;

    /// The ID for a new address of this kind. Throws DbError with a German message when
    /// the funeral directors' range is used up (nothing is stored then) or the database
    /// refuses the query.
    static int nextId(Connection& connection, AddressKind kind);
};

} // namespace kilvaro
