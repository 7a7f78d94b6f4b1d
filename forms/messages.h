#pragma once

// The class library's own texts. Like the rest of the platform's texts they are German;
// %s stands for an inserted name.

namespace forms::messages {

inline constexpr const char* ErrorReadingProperty = "Fehler beim Lesen von %s.%s: %s";
inline constexpr const char* ClassNotFound = "Klasse %s nicht gefunden";
inline constexpr const char* PropertyDoesNotExist = "Eigenschaft %s existiert nicht";
inline constexpr const char* InvalidPropertyValue = "Ungültiger Eigenschaftswert";
inline constexpr const char* MethodNotFound = "Methode %s nicht gefunden";
inline constexpr const char* MethodWrongKind = "Methode %s passt nicht zu diesem Ereignis";
inline constexpr const char* LinkedDataNotFound = "Verknüpfte Daten %s nicht gefunden";
inline constexpr const char* ComponentNotFound = "Komponente %s nicht gefunden";
inline constexpr const char* DuplicateName =
    "Eine Komponente mit der Bezeichnung %s existiert bereits";
inline constexpr const char* NotAParent =
    "Steuerelement %s kann keine anderen Steuerelemente enthalten";
inline constexpr const char* FieldWrongClass =
    "Komponente %s hat nicht die Klasse des Formularfelds";
inline constexpr const char* InvalidDefinition =
    "Ungültiges Formularformat (Zeile %s, Spalte %s): %s";
inline constexpr const char* CannotOpenFile = "Datei %s kann nicht geöffnet werden";
inline constexpr const char* StreamReadError = "Das Laden des Streams ist mißlungen";
// A stored object's header: too short, or not ours.
inline constexpr const char* StreamReadFailed = "Stream-Read-Fehler ";
inline constexpr const char* InvalidStreamFormat = "Ungültiges Stream-Format";
// A failure of the object-linking layer for which it has no words of its own.
inline constexpr const char* OleError = "OLE-Fehler %.8x";

} // namespace forms::messages
