"""How long a test waits for what it expects to see, and the one way it waits:
it asks again and again until the answer comes or its patience is spent. Shared
by every test and measurement in Python; for a process's end or a command's
answer the same patience is the timeout.

Nothing here pauses for a fixed time to let something happen: a wait ends as
soon as its condition holds. The patience is generous because the machines
that run the tests are shared and slow down without warning; it only runs out
where something is really missing."""
import time

PATIENCE = 120  # seconds


def wait_for(predicate, seconds=PATIENCE, poll=0.05, tolerate=()):
    """Calls PREDICATE until it gives a true value, and gives that value; gives
    False once SECONDS have passed without one. It is asked at least once, and
    once more when the time is up. An exception of a type in TOLERATE (a
    question asked of something that is changing under it) counts as a false
    answer; any other goes to the caller."""
    deadline = time.monotonic() + seconds
    while True:
        last_chance = time.monotonic() >= deadline
        try:
            answer = predicate()
            if answer:
                return answer
        except tolerate:
            pass
        if last_chance:
            return False
        time.sleep(max(0.0, min(poll, deadline - time.monotonic())))
