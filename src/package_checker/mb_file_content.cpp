#include "package_checker/mb_file_content.h"

#include "package_checker/file_source.h"
#include "package_checker/package_facts.h"
#include "package_checker/pe_image.h"
#include "package_checker/text_forms.h"

MbFileContent LookAtMbFile(const PackageFacts& facts)
{
    MbFileContent content;
    if (facts.MbFile.Lookup.Result != FileLookup::Found) return content;
    const FileSource file(facts.MbFile.Value);
    content.PeImage = file.IsOpen() && ReadPeHeaders(file).has_value() && !file.Failed();
    // One file named twice is a finding of its own.
    if (facts.ImeFile.Lookup.Result == FileLookup::Found && !NameOneFile(facts.ImeFile, facts.MbFile)) {
        content.SameAsImeFile = SameContents(facts.ImeFile.Value, facts.MbFile.Value).value_or(false);
    }
    return content;
}
