# Sourced by the check scripts that take CLI DATA DIR: sets cli and data, makes a fresh folder
# DIR/$checks and works in it, and gives fail(), which reports and counts a failure.
cli=$1
data=$2
dir=$3/$checks
rm -rf "$dir"
mkdir -p "$dir" || exit 1
cd "$dir" || exit 1
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
