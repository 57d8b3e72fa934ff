# Reads `llvm-readobj --coff-resources` and prints one line per resource:
# its type, its name and its language, as "STRINGTABLE 1 2057".
$1 == "Type:" { type = $2; if (type == "(ID" || type == "(Name:") type = $0 }
$1 == "Name:" { name = $3; sub(/\)$/, "", name) }
$1 == "Language:" { language = $3; sub(/\)$/, "", language); print type, name, language }
