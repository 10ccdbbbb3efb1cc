// Copies of whole table files, as backup and restore make them: each copy is read through SQLite's backup
// (so a pending journal of the source is respected and a table being written is read as of its last commit),
// written under a temporary name beside its target, checked and synced, and a set of copies then replaces
// its targets together: either every target is replaced or every target is left as it was.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace exchange {

// The name under which a replaced target is kept when its previous generation is kept: "kfq_1.db" becomes
// "kfq_1_prev.db" in the same folder.
std::string PreviousGeneration(const std::string& target);

// Where a copy stands when the fault hook is called.
enum class CopyStep { Copying, Replacing };

// A test seam in the real copy path: called with the step and the target's path while a copy is written
// (after each block of pages) and before each target is replaced. What it throws fails the copy there, as a
// full disk or a vanished folder would.
extern std::function<void(CopyStep, const std::string& target)> CopyFaultHook;

// Copies of table files that replace their targets together. Stage copies each source beside its target
// under a temporary name; Commit then puts every copy in place of its target. A failure in Stage or Commit
// leaves every target as it was; copies not committed are removed when the set goes.
class ReplacementSet {
public:
    enum class Previous { Discard, Keep };  // what becomes of a replaced target

    explicit ReplacementSet(Previous previous) : previous_(previous) {}
    ~ReplacementSet();
    ReplacementSet(const ReplacementSet&) = delete;
    ReplacementSet& operator=(const ReplacementSet&) = delete;

    // source must be a sound table file (it opens as a table and passes SQLite's check); target must be a
    // file or absent, and not held open by a table of this program. Raises EDatabaseError naming the file.
    // Returns the copy's temporary path, which the caller may still change before Commit.
    std::string Stage(const std::string& source, const std::string& target);
    // Replaces every staged target; on failure puts back those already replaced and raises EDatabaseError.
    // With Previous::Keep each replaced target stays beside it as its previous generation.
    void Commit();

    // After Commit: the targets that existed and were replaced.
    std::vector<std::string> Replaced() const;

private:
    struct Entry {
        std::string staged, target, aside;  // aside: the replaced target while the set commits
        bool hadTarget = false;
        bool movedAside = false;  // the target was moved, not linked, to its aside name
        bool placed = false;      // the copy has taken the target's name
    };
    void PutBack();

    Previous previous_;
    std::vector<Entry> entries_;
    bool committed_ = false;
};

}  // namespace exchange
