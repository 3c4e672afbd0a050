#include "update/WfiTags.h"

bool TWfiTags::AllEmpty() const
{
    for (const QString* name :
         {&AuthorTag, &AuthorEMailTag, &DateTag, &DownloadTag, &ProductNameTag, &ReadMeTag,
          &ReadMeExtTag, &RedirectTag, &RunParamsTag, &ManifestTag, &SignatureTag, &VersionTag})
        if (!name->isEmpty())
            return false;
    return true;
}
