#include "update/HttpError.h"

std::string to_string(THttpError error)
{
    switch (error) {
    case THttpError::None: return "";
    case THttpError::Busy: return "HTTP component is busy";
    case THttpError::NothingToPost: return "HTTP component has nothing to post";
    case THttpError::Aborted: return "Connection aborted on request";
    case THttpError::LineTooLong: return "HTTP line too long";
    case THttpError::TooManyRedirections: return "Too many redirections (more than 20)";
    case THttpError::Timeout: return "The server did not answer in time";
    case THttpError::BadStatusCode: return "Invalid status code in the server's answer";
    case THttpError::BadContentLength: return "Invalid Content-Length in the server's answer";
    case THttpError::Truncated: return "Connection closed before the whole document arrived";
    case THttpError::WriteFailed: return "The document could not be stored";
    }
    return "Unknown HTTP error";
}
