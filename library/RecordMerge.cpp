#include "library/RecordMerge.h"

#include <unordered_set>

namespace recordmerge {

bool SameFields(const CSample& a, const CSample& b) {
    return a.GetTitle() == b.GetTitle() && a.GetCategory() == b.GetCategory() &&
           a.GetSubcategory() == b.GetSubcategory() && a.Keywords() == b.Keywords() &&
           a.GetComments() == b.GetComments() && a.GetText() == b.GetText();
}

namespace {

// Their change of a record this side left alone (or deleted): the library takes it
// where the load would place it.
Action TakeChange(Placement placement) {
    return placement == Placement::Nowhere ? Action::KeepUnplaced : Action::TakeTheirs;
}

} // namespace

std::vector<Decision> Merge(const Ours& ours, const std::vector<const CSample*>& theirs, ReadEnd end) {
    std::vector<Decision> decisions;
    decisions.reserve(theirs.size() + ours.titles.size());
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < theirs.size(); ++i) {
        const CSample& record = *theirs[i];
        const std::string& title = record.GetTitle();
        Decision decision{Action::Same, title, i, false};
        if (ours.kept(i)) {
            decisions.push_back(decision);
            continue;
        }
        if (!seen.insert(title).second) {
            // Their file holds the title twice: the later record is a duplicate.
            decision.action = Action::KeepTwice;
            decisions.push_back(decision);
            continue;
        }
        const CSample* base = ours.base(title);
        const CSample* sample = ours.sample(title);
        const bool here = sample && sample->GetCategory() == ours.category;
        const bool sameAsOurs = here && SameFields(*sample, record);
        if (!base) {
            // Added there; when added here too, the same record or kept twice.
            if (!sample)
                decision.action = TakeChange(ours.place(record));
            else if (!sameAsOurs)
                decision.action = Action::KeepTwice;
        } else if (!SameFields(*base, record)) {
            const bool oursUnchanged = here && SameFields(*sample, *base);
            if (!sample) {
                // Deleted here, changed there: the edit wins.
                decision.action = TakeChange(ours.place(record));
                decision.editBeatDelete = true;
            } else if (oursUnchanged) {
                decision.action = TakeChange(ours.place(record));
            } else if (!sameAsOurs) {
                // Changed (or moved away) here and changed there.
                decision.action = Action::KeepTwice;
            }
        }
        decisions.push_back(decision);
    }

    for (const std::string& title : ours.titles) {
        if (!seen.insert(title).second)
            continue; // in theirs, or named twice here
        const CSample* sample = ours.sample(title);
        if (!sample || sample->GetCategory() != ours.category)
            continue; // deleted or moved away here: nothing of it goes into this file
        const CSample* base = ours.base(title);
        Decision decision{Action::Keep, title, Decision::npos, false};
        if (base && end == ReadEnd::Complete) {
            // Missing from a file read to its end: deleted there. An edit here wins.
            if (SameFields(*sample, *base))
                decision.action = Action::Delete;
            else
                decision.editBeatDelete = true;
        }
        decisions.push_back(decision);
    }
    return decisions;
}

} // namespace recordmerge
