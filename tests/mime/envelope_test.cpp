// The envelope's recipient list.
#include <gtest/gtest.h>

#include "mime/message_envelope.h"
#include "support/diag/error.h"

namespace mime {
namespace {

TEST(EnvelopeRecipients, DuplicatesAreKeptAndRemovedOneAtATime) {
  TMimeMessageEnvelope envelope;
  envelope.Recipients().Add("a@x");
  envelope.Recipients().Add("a@x");
  EXPECT_EQ(envelope.Recipients().Count(), 2);
  envelope.Recipients().Remove("A@X");
  EXPECT_EQ(envelope.Recipients().Count(), 1);
  EXPECT_TRUE(envelope.Recipients().Contains("a@X"));
  envelope.Recipients().Remove("nobody@x");
  EXPECT_EQ(envelope.Recipients().Count(), 1);
}

TEST(EnvelopeRecipients, IndexAccessAndClear) {
  TMimeMessageEnvelopeRecipients recipients;
  recipients.Add("a@x");
  recipients.Add("b@x");
  EXPECT_EQ(recipients.Get(1), "b@x");
  recipients.Delete(0);
  EXPECT_EQ(recipients.Get(0), "b@x");
  EXPECT_THROW(recipients.Get(1), diag::EPlError);
  EXPECT_THROW(recipients.Delete(-1), diag::EPlError);
  recipients.Clear();
  EXPECT_EQ(recipients.Count(), 0);
}

TEST(Envelope, SenderStartsEmpty) {
  TMimeMessageEnvelope envelope;
  EXPECT_EQ(envelope.Sender(), "");
  envelope.SetSender("s@x");
  EXPECT_EQ(envelope.Sender(), "s@x");
}

}  // namespace
}  // namespace mime
