// The record of a run, kept while Marlo runs and removed when it ends
// cleanly: the batches it handed to the archive with changes not saved to a
// file, and how far the bytes of its capture journals were filed. The next
// start reads the records of runs whose process is gone without removing
// them, and so knows what can be brought back.
#pragma once

#include <cstdint>
#include <ctime>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

class CRunRecord {
public:
    // Begins the record of this process in folder (made when missing).
    explicit CRunRecord(std::string folder);
    CRunRecord(const CRunRecord&) = delete;
    CRunRecord& operator=(const CRunRecord&) = delete;

    // The batch's state went to the archive, saved to a file or not.
    void NoteArchived(std::u16string_view key, bool unsaved);
    // The operator deleted the batch.
    void NoteDeleted(std::u16string_view key);
    // A spell's journal begins at this offset of the received bytes.
    void NoteJournal(const std::string& path, std::uint64_t offset);
    // The received bytes before offset were filed (and handed to the
    // archive), refused or cleared.
    void NoteHandled(std::uint64_t offset);
    // The run ended cleanly: nothing to bring back.
    void End();

private:
    void Write(const std::string& line);

    std::string m_strPath;
    std::ofstream m_file;
};

// A run that ended without removing its record.
struct STUncleanRun {
    std::time_t m_start = 0;
    // Batches whose archived state is newer than any save, by key.
    std::vector<std::u16string> m_unsavedBatches;
    // Journals with bytes never handled, and the first such byte of each.
    struct STJournalTail {
        std::string m_strPath;
        std::uint64_t m_nFrom = 0;
    };
    std::vector<STJournalTail> m_journals;
};

// The runs recorded in folder whose process is gone, oldest first; their
// records are removed, so each is told once.
std::vector<STUncleanRun> TakeUncleanRuns(const std::string& folder);
