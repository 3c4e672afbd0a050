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
    case THttpError::HeaderTooLarge: return "HTTP header too large (more than 1 MiB)";
    case THttpError::TooManyHeaderLines: return "HTTP header too long (more than 1000 lines)";
    case THttpError::ConflictingLength:
        return "Conflicting Content-Length fields in the server's answer";
    case THttpError::TransferCoding: return "unsupported transfer coding";
    case THttpError::UnsupportedScheme: return "Redirection to an address that is not http://";
    case THttpError::BadLocation: return "Redirection to an address without a server";
    case THttpError::ControlCharacter: return "Control character in the address";
    case THttpError::NotHttp: return "The address is not an http:// address";
    }
    return "Unknown HTTP error";
}
